#pragma once
// Helpers of the editing operations of the map control: the conversion
// between map coordinates and a layer's own, the boxes of edited shapes, and
// what every change of an existing object ends with (flags, block extent,
// selection boxes, journal).

#include "mapengine/MapControlCore.h"

namespace mapengine::edit {

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

// The layer, or null for an index out of range.
TMapLayer *layerAt(MapControlCore &c, int layer);
// The object, or null for an index out of range.
TMapObject *objectAt(MapControlCore &c, int layer, int index);
// Whether the layer holds raster images.
inline bool isImageLayer(const TMapLayer &L) { return L.ObjType == otImages; }
inline bool isTextLayer(const TMapLayer &L) { return shp::recordKindOf(L.ShapeType) == shp::RecordKind::Text; }

// The conversion between map coordinates and a layer's own for as long as it
// lives (nothing for a layer without a projection). The conversion picks its
// direction by the size of the values, so the same step takes a point either
// way. No object may be read while one lives: reading sets up and frees the
// projection of its own.
class LayerUnits {
public:
    LayerUnits(MapControlCore &c, int layer);
    ~LayerUnits();
    LayerUnits(const LayerUnits &) = delete;
    LayerUnits &operator=(const LayerUnits &) = delete;
    bool active() const { return active_; }
    void convert(double &x, double &y);
    // Both corners (the box of a converted box, as reading converts boxes).
    void convert(Box &box);
    // Every point and the box.
    void convert(TShpObject &shape);

private:
    MapControlCore &c_;
    bool active_ = false;
};

// The box of all points of the shape, starting from zeros, a bound of exactly
// 0 counting as unset.
void recomputePointsBox(TShpObject &shape);
// For an object of an image layer with control points: the box fitted to them
// (kept when they cannot give it).
void fitImageBox(const TMapLayer &L, TShpObject &shape);

// The box of an object's shape (in layer units) in map coordinates.
Box mapBoxOf(MapControlCore &c, int layer, const TShpObject &shape);
// Takes a box (map coordinates) into the extent of the object's block and
// into the selection entries of the object, so that picking and drawing by
// blocks find the object where it now is.
void takeInBox(MapControlCore &c, int layer, int index, const Box &mapBox);
// Journals the object's shape from the object table and keeps the place the
// journal gives it.
void journal(MapControlCore &c, int layer, int index);
// Ends a change of an existing object whose shape (in layer units) is in the
// object table: the change flags, takeInBox and journal. Returns the box in
// map coordinates.
Box finishEdit(MapControlCore &c, int layer, int index);

} // namespace mapengine::edit
