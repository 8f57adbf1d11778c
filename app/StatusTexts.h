#pragma once
// The texts of the map window's status panels 0 to 3 (scale, visible area,
// cursor X and Y), and the widest of each, which the panels are sized for.

#include <QString>
#include <QStringList>

namespace app::status {

// Panel 0: "M 1:" and the denominator n rounded, or "M " 1/n ":1" for a
// denominator between 0 and 1.
QString scaleText(double denominator);
// Panel 1: the visible area in map units, "Zoom: " width "x" height " m".
QString areaText(double width, double height);
// Panels 2 and 3: "X = " (or "Y = ") and the value with three decimals.
QString coordinateText(QChar axis, double value);

// The widest text each of panels 0 to 3 shows: the scale and the visible area
// down to the smallest scale a view holds (1:2147483647, on a picture of up
// to 4 m), and coordinates of seven digits before the separator.
QStringList widestTexts();

} // namespace app::status
