#pragma once
// The numbers of the measuring painters, apart from the drawing: the status
// text of a figure being digitized and the rotation of a segment's caption.

#include "mapengine/MapControlCore.h"

#include <QPoint>
#include <QString>

#include <vector>

namespace mapengine {

// "L= " the rubber segment (the press point to the cursor), "P= " the
// digitized segments plus it, "S= " the area of the figure closed through
// the cursor (0 below three points); two decimals after the locale's
// separator. `length`, when given, gets the digitized segments' length.
QString MeasureText(const std::vector<TMapPoint> &points, const TMapPoint &cursor, const TMapPoint &press,
                    double *length = nullptr);

// The rotation (degrees, clockwise on the screen as texts are drawn) of the
// caption of the segment between two picture points: along the segment,
// never upside down (-90 to 90).
double CaptionRotation(const QPoint &a, const QPoint &b);

} // namespace mapengine
