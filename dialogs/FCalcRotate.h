#pragma once
// The directional-angle calculator TCalcRotate ("Преобразование
// прямоугольной системы координат"): the directional angles from a station
// to a target point in a conditional and in a reduced system, and the
// rotation between them (geodesy/DirectionAngles.h), each with its degrees,
// minutes and seconds; every change of an X, Y or angle edit recomputes.
// Shown with "shp" it only computes.

#include "dialogs/FTransformForm.h"
#include "geodesy/DirectionAngles.h"

#include <array>

class QGroupBox;

class TCalcRotate : public TTransformForm {
public:
    TCalcRotate();

    // An angle with its degrees, minutes and seconds.
    struct AngleRow {
        QLineEdit *Edit = nullptr;
        QLabel *Degrees = nullptr, *Minutes = nullptr, *Seconds = nullptr;
    };
    // One system's group: station (X1, Y1, Z1), target (X2, Y2, Z2), angle.
    struct PointsGroup {
        QGroupBox *Box = nullptr;
        QLineEdit *X1 = nullptr, *Y1 = nullptr, *Z1 = nullptr, *X2 = nullptr, *Y2 = nullptr, *Z2 = nullptr;
        AngleRow Angle;
    };
    PointsGroup Conditional; // "Условные координаты точек"
    PointsGroup Reduced;     // "Приведённые коорднаты точек"
    QGroupBox *gbRotation = nullptr; // "Вращение условных координат"
    AngleRow Rotation;
    QLabel *StatusBar = nullptr;
    QMenu *nHelpMenu = nullptr;
    QAction *nHelp = nullptr;        // "?" F1: the help topic "Transform" (no help system here)

    // The angles of the last computation.
    geodesy::RotationAngles Angles;

    void FormShow() override;
    void bTransformClick() override {}
    void reject() override;
    // Recomputes every angle from the edits and shows them.
    void Recompute();

private:
    bool recomputing_ = false;
};

TCalcRotate *CalcRotate();
