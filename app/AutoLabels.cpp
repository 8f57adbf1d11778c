#include "app/AutoLabels.h"

#include "mapdata/LabelRecords.h"
#include "mapdata/MapFunctions.h"
#include "platform/Rounding.h"

#include <cmath>
#include <numbers>

namespace app::autolabel {

std::vector<LabelBox> decodeLabelRecords(const QByteArray &bytes)
{
    std::vector<LabelBox> records;
    for (const TMoveLabel &m : lbl::decodeLblRecords(bytes))
        records.push_back({m.ObjectNumber, m.LayerIndex, m.ObjectIndex, m.BoxTopLeft.X, m.BoxTopLeft.Y,
                           m.BoxBottomRight.X, m.BoxBottomRight.Y});
    return records;
}

int directionQuarter(double degrees)
{
    // A direction that is no number (or infinite) counts as the turned 0.
    if (!std::isfinite(degrees))
        return 4;
    double value = std::fmod(degrees + 45, 360);
    if (value < 0)
        value += 360;
    // Rounded up, at most 4; a turned direction of 0 is 360.
    if (value <= 0)
        return 4;
    const int q = static_cast<int>(std::ceil(value / 90));
    return q > 4 ? 4 : q;
}

std::array<bool, 4> collisionQuarters(const LabelBox &label, const std::vector<LabelBox> &others)
{
    std::array<bool, 4> flags{};
    for (const LabelBox &o : others) {
        if (o.ObjectNumber == label.ObjectNumber)
            continue;
        if (!MapFunctions::SegmentIntersectsRect(label.X1, label.Y1, label.X2, label.Y2, o.X1, o.Y1, o.X2, o.Y2))
            continue;
        const double direction =
            MapFunctions::DirectionAngleRad(label.X2, label.Y2, o.X2, o.Y2) * 180 / std::numbers::pi;
        // Corners that are no numbers give no direction to move away from.
        if (std::isnan(direction))
            continue;
        flags[static_cast<size_t>(directionQuarter(direction) - 1)] = true;
    }
    return flags;
}

int moveDirection(const std::array<bool, 4> &q, int previous)
{
    int h = 0;
    if (q[1] || q[3])
        h = q[0] ? 3 : q[2] ? 1 : previous == 1 ? 3 : 1;
    if (q[0] || q[2])
        h = q[3] ? 2 : q[1] ? 4 : previous == 4 ? 2 : 4;
    return h;
}

QPoint moveOffset(const LabelBox &label, int direction)
{
    const double w = label.X2 - label.X1;
    const double t = label.Y2 - label.Y1;
    switch (direction) {
    case 1:
        return QPoint(platform::roundToInt(w / 2), 0);
    case 2:
        return QPoint(0, platform::roundToInt(-t / 2));
    case 3:
        return QPoint(platform::roundToInt(-w / 2), 0);
    case 4:
        return QPoint(0, platform::roundToInt(t / 2));
    default:
        return QPoint();
    }
}

} // namespace app::autolabel
