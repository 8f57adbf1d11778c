#pragma once
// A layer with a projection stores its points in its own coordinates, and the
// readers hand them out in map coordinates. Whatever writes a figure into a
// layer converts it back here, so that a write never moves an object.

#include "mapdata/MapTypes.h"

class MapDataCore;

namespace mapdata {

struct Box {
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

inline Box boxOf(const TShpObject &s) { return {s.XMin, s.YMin, s.XMax, s.YMax}; }
inline void setBox(TShpObject &s, const Box &b)
{
    s.XMin = b.XMin;
    s.YMin = b.YMin;
    s.XMax = b.XMax;
    s.YMax = b.YMax;
}

// The conversion between map coordinates and a layer's own for as long as it
// lives (nothing for a layer without a projection, or one the projection
// library refuses: its points are read as stored too). The conversion picks
// its direction by the size of the values, so the same step takes a point
// either way. No object may be read while one lives: reading sets up and
// frees the projection of its own.
class LayerUnits {
public:
    LayerUnits(MapDataCore &core, int layer);
    ~LayerUnits();
    LayerUnits(const LayerUnits &) = delete;
    LayerUnits &operator=(const LayerUnits &) = delete;
    bool active() const { return active_; }
    void convert(double &x, double &y);
    // Both corners (the box of a converted box, as reading converts boxes).
    void convert(Box &box);
    // Every point and the box's corners.
    void convert(TShpObject &shape);

private:
    MapDataCore &core_;
    bool active_ = false;
};

// The box of all points of the shape, starting from zeros, a bound of exactly
// 0 counting as unset.
void recomputePointsBox(TShpObject &shape);

} // namespace mapdata
