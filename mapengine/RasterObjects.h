#pragma once
// A raster-image object with its control points, as the map control fits it:
// the record of shape type 10 (layout in mapdata/ShpRecords.h) with the
// control points as a list. The picture's rectangle on the map follows from
// the control points, without rotation.

#include "mapdata/MapTypes.h"
#include "mapdata/ShpRecords.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// One control point: a map point and the pixel of the picture that lies on it
// (row 0 is the picture's top line; rows grow downward).
struct TControlPoint {
    double X = 0;
    double Y = 0;
    std::int32_t Column = 0;
    std::int32_t Row = 0;
    bool operator==(const TControlPoint &) const = default;
};

struct TRasterObject {
    std::int32_t ShapeType = shp::stRaster;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    QString ImageName;
    Byte ImageFlag = 0;            // 0 drawn, 1 hidden
    std::int32_t ImageWidth = 0;   // pixels
    std::int32_t ImageHeight = 0;
    std::vector<TControlPoint> Points;
};

namespace mapengine {

// The raster record of an object of an image layer: its picture size and the
// points of its first part (map x, y; pixel column and row in W and H).
TRasterObject rasterFromShape(const TShpObject &shape);

// Sets the record's box from its control points: one map-units-per-pixel
// factor per axis from the consecutive pairs of points (the last paired with
// the first), the map point of pixel (0, 0) as the mean over the points, and
// the far corner from the picture's size. False, with the box as it was, when
// the points cannot give both factors (fewer than two points, or all of them
// on one pixel column or one pixel row).
bool fitRasterToControlPoints(TRasterObject &record);

} // namespace mapengine
