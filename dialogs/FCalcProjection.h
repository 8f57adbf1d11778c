#pragma once
// The one-projection dialog TCalcProjection ("Преобразование по проекции"):
// the current layer or the selection through one projection of the
// catalogue, projected coordinates to degrees and degrees to projected ones
// as the data ask (TransformObjects, kind 4). The catalogue is the one the
// projection-system form holds.

#include "dialogs/FTransformForm.h"

class TCalcProjection : public TCatalogueForm {
public:
    TCalcProjection();

    QComboBox *cbProjections = nullptr; // "Проекция"

    // The list anew from the catalogue, keeping its position.
    void RefillList();
    void FormShow() override;
    void bTransformClick() override;
    void sbNewClick() override;
    void sbEditClick() override;
    void sbDeleteClick() override;
    void sbSaveClick() override;
};

TCalcProjection *CalcProjection();
