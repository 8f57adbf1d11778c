#include "geodesy/DirectionAngles.h"

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "platform/NumberFormat.h"

namespace geodesy {

namespace {

double read(const QString &text)
{
    return VykFunctions::TextToFloatDef(text, 0);
}

double rounded(double value, int decimals)
{
    return MapFunctions::RoundValue(value, 0, decimals, false).toDouble();
}

} // namespace

RotationAngles computeRotation(const RotationTexts &t)
{
    RotationAngles a;
    const double x1 = read(t.X1), y1 = read(t.Y1), x2 = read(t.X2), y2 = read(t.Y2);
    if (x1 != x2 || y1 != y2)
        a.Conditional = VykFunctions::DirectionAngleOffset(x1, y1, 0, x2, y2, 0, 0);

    const double rx1 = read(t.RX1), ry1 = read(t.RY1), rx2 = read(t.RX2), ry2 = read(t.RY2);
    // Only a target with a positive coordinate counts as given.
    if ((rx1 != rx2 || ry1 != ry2) && (rx2 > 0 || ry2 > 0)) {
        a.Reduced = VykFunctions::DirectionAngleOffset(rx1, ry1, 0, rx2, ry2, 0, 0);
        a.ReducedComputed = true;
    } else {
        a.Reduced = read(t.ReducedAngle);
    }

    if (a.Reduced != 0) {
        a.Rotation = a.Reduced - a.Conditional;
        a.RotationComputed = true;
    } else {
        a.Rotation = read(t.Rotation);
    }
    return a;
}

QString angleText(double degrees)
{
    return platform::floatToStr(rounded(degrees, 3));
}

DmsTexts dmsTexts(double degrees)
{
    const VykFunctions::TDegMinSec d = VykFunctions::DegToDMS(degrees);
    return {QString::number(d.Degrees), QString::number(d.Minutes), platform::floatToStr(rounded(d.Seconds, 2))};
}

} // namespace geodesy
