#pragma once
// The editors of the projection catalogue: TNewGeoSystem ("Параметры
// преобразования") edits a transformation (a name, a source and a
// destination projection) and TNewGeoProject ("Параметры проекции") a
// projection. Each is shown with "New" or "Edit" and answers "Ok" or
// "Cancel"; "Сохранить" checks the fields in order and keeps the editor open
// with the first message that applies.

#include "geodesy/ProjectCatalogue.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

class TNewGeoProject : public QDialog {
public:
    TNewGeoProject();

    QString Hint;
    // The catalogue edited and, for "Edit", the record.
    geodesy::TProjectCatalogue *Catalogue = nullptr;
    int EditIndex = -1;

    QLineEdit *edName = nullptr;        // "Наименование"
    QComboBox *cbProjection = nullptr;  // "Проекция"
    QComboBox *cbEllipsoid = nullptr;   // "Эллипсоид"
    QComboBox *cbLongitude = nullptr;   // "Долгота", editable: "20d00E" to "40d00E"
    QComboBox *cbLatitude = nullptr;    // "Широта", editable: "00d00N"
    QLineEdit *edK = nullptr;           // "k ="
    QLineEdit *edX = nullptr;           // "X =", false easting
    QLineEdit *edY = nullptr;           // "Y =", false northing
    QPushButton *bSave = nullptr;       // "Сохранить"
    QPushButton *bCancel = nullptr;     // "Отменить"

    // Shows the editor modally with "New" or "Edit" (of record `index`);
    // true when it answered "Ok".
    bool Execute(geodesy::TProjectCatalogue &catalogue, const QString &mode, int index = -1);
    void FormShow();
    void bSaveClick();
    void reject() override;
};

class TNewGeoSystem : public QDialog {
public:
    TNewGeoSystem();

    QString Hint;
    geodesy::TProjectCatalogue *Catalogue = nullptr;
    // The current transformation (an index of the records): edited with
    // "Edit", made by a "New" that was saved.
    int *Current = nullptr;

    QLineEdit *edName = nullptr;
    QComboBox *cbSource = nullptr;       // "Преобразовать из проекции"
    QComboBox *cbDestination = nullptr;  // "Преобразовать в проекцию"
    QToolButton *sbNewSource = nullptr, *sbEditSource = nullptr, *sbDeleteSource = nullptr;
    QToolButton *sbNewDestination = nullptr, *sbEditDestination = nullptr, *sbDeleteDestination = nullptr;
    QPushButton *bSave = nullptr;
    QPushButton *bCancel = nullptr;

    bool Execute(geodesy::TProjectCatalogue &catalogue, int &current, const QString &mode);
    void FormShow();
    // Both lists anew from the catalogue, each keeping its position.
    void RefillLists();
    // "Создать", "..." and "Удалить" beside a list.
    void NewProjection();
    void EditProjection(QComboBox *list);
    void DeleteProjection(QComboBox *list);
    void bSaveClick();
    void reject() override;
};

TNewGeoProject *NewGeoProject();
TNewGeoSystem *NewGeoSystem();
