#pragma once
// The key dialog TCalcShift ("Перевод из одной прямоугольной системы
// координат в другую по ключу перехода на плоскости"): a typed key or one of
// the keys kept in "Systems.gtr" turns the current layer or the selection
// into another plane system (TransformObjects, kind 0). Keys can be saved
// (appended or overwritten) and deleted; "..." computes one from point pairs
// (TCalcTransform).

#include "dialogs/FTransformForm.h"
#include "geodesy/PlaneKeys.h"

#include <vector>

class QCheckBox;
class QComboBox;

class TCalcShift : public TTransformForm {
public:
    TCalcShift();

    QComboBox *cbKeys = nullptr;   // "Параметры": "Призвольные параметры ..." and the keys
    QLineEdit *edName = nullptr;
    QLineEdit *edCx = nullptr;
    QLineEdit *edCy = nullptr;
    QCheckBox *cbKof = nullptr;    // "k = "
    QLineEdit *edKof = nullptr;
    QLineEdit *edSinA = nullptr;
    QLineEdit *edCosA = nullptr;
    QToolButton *sbSave = nullptr;    // "Сохранение параметров"
    QToolButton *sbDelete = nullptr;  // "Удаление текущего параметра"
    QToolButton *sbCalcKey = nullptr; // "..." "Вычисление параметров"

    // The keys of "Systems.gtr", for the run.
    std::vector<geodesy::TGeoKeyRecord> Keys;

    // Reads the key file into Keys and fills the list (the first entry chosen).
    void LoadKeys();
    void FormShow() override;
    void bTransformClick() override;
    void sbSaveClick();
    void sbDeleteClick();
    void sbCalcKeyClick();

    // The stored key chosen in the list; -1 for the free parameters.
    int SelectedKey() const;

private:
    QString keyFile() const;
    // Writes the keys and reloads them; false when the file could not be written.
    bool storeKeys();
};

TCalcShift *CalcShift();
