#pragma once
// Areas, lengths and boxes of objects, and the items a labelling call has
// labelled already.

#include "mapdata/MapTypes.h"

#include <cstdint>
#include <vector>

// The measurement of an object or of a selection: area in square map units,
// length (of lines) or perimeter (of polygons) in map units, bounding box.
struct TMeasureResult {
    double Area = 0;
    double Length = 0;
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

// A segment (or a point, as a segment from it to itself) that a labelling
// call has labelled, with the value it was labelled with.
struct TLabelledItem {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    double Value = 0;
};

namespace measure {

// Measures parts of points. The box spans all points. Each part is walked in
// order as a sequence of rings: a ring starts at a point, its steps add to
// the length and its shoelace terms to the area, and a point (the fourth of
// the ring or later) equal to the ring's first point closes it; the next point
// starts a new ring, and the step to it is not counted. An unclosed ring gets
// no closing term. Part areas are added with their signs (rings of opposite
// orientation subtract); area and length are made non-negative at the end.
TMeasureResult measureParts(const std::vector<TShpParts> &parts);

// Shape types measured as lines and polygons, and polygons alone.
bool isPolyType(std::int32_t shapeType);
bool isPolygonType(std::int32_t shapeType);

} // namespace measure
