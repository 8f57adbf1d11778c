#pragma once
// The coordinate list of selected objects: one row per vertex with its
// coordinates in the surveyor's axes ("X" is the shape's y), the leg that
// reaches it, the direction of the leg that leaves it and the angle at it,
// plus the extent, the area and the perimeter of the objects; and the work
// table "points.db" the list's template reads.

#include "mapdata/MapTypes.h"

#include <QString>

#include <vector>

namespace reports {

struct CoordinateRow {
    double Number = 0;
    double X = 0, Y = 0; // X: the shape's y, Y: the shape's x
    double W = 0, H = 0; // the vertex record's two integer fields
    double Len = 0;      // leg from the previous vertex
    double DCut = 0;     // direction of the leg to the next vertex, radians
    double CutIn = 0;    // angle at the vertex, degrees 0 .. 360
};

struct CoordinateList {
    std::vector<CoordinateRow> Rows;
    // Extent of the listed vertices in shape coordinates (0 when none).
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    double Area = 0, Perimeter = 0;
};

// The list of the shapes in the order given. The shapes are the caller's
// copies; nothing is kept. An object's area is its rings' signed areas
// summed (outer rings clockwise, holes counter-clockwise, as shapes store
// them), so a hole is taken away.
CoordinateList MakeCoordinateList(const std::vector<TShpObject> &shapes);

// Creates the work table of that path anew (nine fields: Number, Name(20),
// X, Y, W, H, Len, DCut, CutIn) and appends the rows. Raises the database
// engine's error.
void WriteCoordinateTable(const QString &path, const std::vector<CoordinateRow> &rows);

} // namespace reports
