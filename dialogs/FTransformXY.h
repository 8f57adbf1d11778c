#pragma once
// The shift dialog TTransformXY ("Перобразование координат"): two edits, the
// shift added to X (the northing) and the one added to Y (the easting), both
// "1000000" at first; its command shifts the current layer or the selection.

#include "dialogs/FTransformForm.h"

class QToolBar;

class TTransformXY : public TTransformForm {
public:
    TTransformXY();

    QToolBar *ToolBar = nullptr;
    QAction *tbTransform = nullptr; // "Преобразование координат на заданную величину по X и Y"
    QAction *tbSwap = nullptr;      // "Поменять местами координаты X с Y"
    QAction *nSwap = nullptr;
    QMenu *nHelpMenu = nullptr;     // "?"
    QAction *nHelp = nullptr;       // F1: the help topic "Cameral" (no help system here)
    QLineEdit *edX = nullptr;
    QLineEdit *edY = nullptr;

    void FormShow() override;
    void bTransformClick() override;
};

// The dialog of the run: made on first use, kept.
TTransformXY *TransformXY();
