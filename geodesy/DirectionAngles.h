#pragma once
// The directional-angle calculator: the directional angle from a station
// point to a target point in a conditional system and in a reduced system,
// and the rotation between the two systems (X the northing, Y the easting,
// degrees from 0 to 360). Every value comes from the texts of the
// calculator's edits, read tolerantly (unreadable is 0).

#include <QString>

namespace geodesy {

struct RotationTexts {
    // The conditional system: station and target.
    QString X1, Y1, X2, Y2;
    // The reduced system: station, target and the typed directional angle.
    QString RX1, RY1, RX2, RY2, ReducedAngle;
    // The typed rotation angle.
    QString Rotation;
};

struct RotationAngles {
    double Conditional = 0;
    double Reduced = 0;
    double Rotation = 0;
    // Whether the reduced angle and the rotation were computed (their edits
    // then show them) rather than taken from their edits.
    bool ReducedComputed = false;
    bool RotationComputed = false;
};

// The conditional angle is 0 unless the two points differ. The reduced angle
// comes from the reduced points when they differ and X2 or Y2 is greater
// than 0, else from its edit. The rotation is the reduced angle minus the
// conditional one when the reduced angle is not 0, else the typed rotation.
RotationAngles computeRotation(const RotationTexts &texts);

// An angle as its edit shows it: rounded to 0.001, general number text.
QString angleText(double degrees);

// Degrees, minutes and seconds (to 0.01) of an angle as its labels show them.
struct DmsTexts {
    QString Degrees, Minutes, Seconds;
};
DmsTexts dmsTexts(double degrees);

} // namespace geodesy
