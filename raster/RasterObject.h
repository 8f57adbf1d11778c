#pragma once
// A raster-image object: a picture placed on the map by its control points,
// held in an image layer as a record of shape type 10 (the fixed part's
// layout is mapdata/ShpRecords.h, RasterRecordHead). The picture's rectangle
// on the map follows from the control points, without rotation.

#include "mapdata/MapTypes.h"
#include "mapdata/ShpRecords.h"

#include <QByteArray>
#include <QString>

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
    bool operator==(const TRasterObject &) const = default;
};

namespace raster {

// Bytes of one control point in a record.
constexpr int ControlPointSize = 24;

// ---- the record ----

// The record content (no record header) of `size` bytes: the fixed part and
// the control points it counts. False, with the object left as it was, when
// the bytes cannot hold the fixed part, or the count is negative or names
// more points than the content holds.
bool decodeRasterObject(const char *data, qsizetype size, TRasterObject &out);
// The record content: the fixed part (shape type 10 whatever the object
// says, the reserved bytes zero) and the control points.
QByteArray encodeRasterObject(const TRasterObject &record);

// ---- the object table's shape ----

// The raster record of an object of an image layer: its picture size and the
// points of its first part (map x, y; pixel column and row in W and H).
TRasterObject rasterFromShape(const TShpObject &shape);
// The shape the object table and the journal keep of a record: shape type 10,
// the name as its text, one part of the control points.
void shapeFromRaster(const TRasterObject &record, TShpObject &shape);

// ---- fitting ----

// Sets the record's box from its control points: one map-units-per-pixel
// factor per axis from the consecutive pairs of points (the last paired with
// the first), the map point of pixel (0, 0) as the mean over the points, and
// the far corner from the picture's size. False, with the box as it was, when
// the points cannot give both factors (fewer than two points, or all of them
// on one pixel column or one pixel row).
bool fitRasterToControlPoints(TRasterObject &record);

// The turn of the control points: the direction angle of the first two in
// map coordinates minus that of the same two in picture pixels (rows
// counting downward), in radians; 0 with fewer than two points. Pictures are
// drawn unturned: the angle only reports it.
double rasterRotationAngle(const std::vector<TControlPoint> &points);

} // namespace raster
