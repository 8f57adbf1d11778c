#pragma once
// Helpers of the editing operations of the map control: the boxes of edited
// shapes, and what every change of an existing object ends with (flags,
// block extent, selection boxes, journal).

#include "mapdata/LayerUnits.h"
#include "mapengine/MapControlCore.h"

namespace mapengine::edit {

// The conversion between map coordinates and a layer's own, and boxes of
// shapes: the data core's (mapdata/LayerUnits.h).
using mapdata::Box;
using mapdata::boxOf;
using mapdata::LayerUnits;
using mapdata::recomputePointsBox;
using mapdata::setBox;

// The layer, or null for an index out of range.
TMapLayer *layerAt(MapControlCore &c, int layer);
// The layer when its objects may be changed: open to edits (Edited) and not
// opened read-only; null otherwise.
TMapLayer *editableLayerAt(MapControlCore &c, int layer);
// The object, or null for an index out of range.
TMapObject *objectAt(MapControlCore &c, int layer, int index);
// Whether the layer holds raster images.
inline bool isImageLayer(const TMapLayer &L) { return L.ObjType == otImages; }
inline bool isTextLayer(const TMapLayer &L) { return shp::recordKindOf(L.ShapeType) == shp::RecordKind::Text; }
// Whether the points of a file of that type are map points whose third value
// is a height (points, lines, polygons), not text or raster points, whose
// third value is a pixel.
inline bool carriesHeights(std::int32_t fileType)
{
    const shp::RecordKind k = shp::recordKindOf(fileType);
    return k == shp::RecordKind::Point || k == shp::RecordKind::Poly;
}

// For an object of an image layer with control points: the box fitted to them
// (kept when they cannot give it).
void fitImageBox(const TMapLayer &L, TShpObject &shape);

// The box of an object's shape (in layer units) in map coordinates.
Box mapBoxOf(MapControlCore &c, int layer, const TShpObject &shape);
// Takes a box (map coordinates) into the extent of the object's block and of
// its layer and into the selection entries of the object, so that picking
// and drawing by blocks find the object where it now is.
void takeInBox(MapControlCore &c, int layer, int index, const Box &mapBox);
// Journals the object's shape from the object table and keeps the place the
// journal gives it.
void journal(MapControlCore &c, int layer, int index);
// Ends a change of an existing object whose shape (in layer units) is in the
// object table: the change flags, takeInBox and journal. Returns the box in
// map coordinates.
Box finishEdit(MapControlCore &c, int layer, int index);

} // namespace mapengine::edit
