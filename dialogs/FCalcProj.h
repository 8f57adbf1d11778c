#pragma once
// The projection-system dialog TCalcProj ("Преобразование системы
// координат"): the current layer or the selection from the source to the
// destination projection of a transformation of the catalogue
// ("Projects.gtp", geodesy/ProjectCatalogue.h), which this form holds for
// the run; the other dialogs reach the catalogue through it.

#include "dialogs/FTransformForm.h"
#include "geodesy/ProjectCatalogue.h"

class TCalcProj : public TCatalogueForm {
public:
    TCalcProj();

    QComboBox *cbSystems = nullptr;  // the transformations

    geodesy::TProjectCatalogue Catalogue;
    // The program folder, whose "Projects.gtp" is the catalogue's file.
    QString ProgramDir;

    // Reads the file into the catalogue and refills the list (its selection
    // the current index).
    void LoadProjects();
    // Writes the catalogue and reads it back; false (a message said so) when
    // the file could not be written, the catalogue kept as it was.
    bool SaveProjects();
    // The list of transformations anew, the entry of that record chosen.
    void RefillList(int select);
    // The record whose name the list shows; -1 when none.
    int CurrentSystem() const;

    void FormShow() override;
    void bTransformClick() override;
    void sbNewClick() override;
    void sbEditClick() override;
    void sbDeleteClick() override;
    void sbSaveClick() override;
};

// The form of the run, made hidden on first use; with a program folder, the
// catalogue's file is taken from it.
TCalcProj *CalcProj();
