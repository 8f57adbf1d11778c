// Reading objects for editing in their layer's own coordinates, and what the
// editing operations share.

#include "mapengine/EditSupport.h"

namespace mapengine::edit {

TMapLayer *layerAt(MapControlCore &c, int layer)
{
    if (layer < 0 || static_cast<size_t>(layer) >= c.FProject.Layers.size())
        return nullptr;
    return &c.FProject.Layers[static_cast<size_t>(layer)];
}

TMapObject *objectAt(MapControlCore &c, int layer, int index)
{
    TMapLayer *L = layerAt(c, layer);
    if (!L || index < 0 || static_cast<size_t>(index) >= L->Objects.size())
        return nullptr;
    return &L->Objects[static_cast<size_t>(index)];
}

LayerUnits::LayerUnits(MapControlCore &c, int layer) : c_(c)
{
    // A handle left from elsewhere must not convert this layer's points.
    c_.FreeLayerProjection();
    active_ = c_.InitLayerProjection(layer);
}

LayerUnits::~LayerUnits() { c_.FreeLayerProjection(); }

void LayerUnits::convert(double &x, double &y)
{
    if (active_)
        c_.ProjectLayerPoint(x, y);
}

void LayerUnits::convert(Box &box)
{
    if (!active_)
        return;
    c_.ProjectLayerPoint(box.XMin, box.YMin);
    c_.ProjectLayerPoint(box.XMax, box.YMax);
}

void LayerUnits::convert(TShpObject &shape)
{
    if (!active_)
        return;
    for (TShpParts &part : shape.Parts)
        for (TShpPoint &p : part.Points)
            c_.ProjectLayerPoint(p.X, p.Y);
    Box b = boxOf(shape);
    convert(b);
    setBox(shape, b);
}

void recomputePointsBox(TShpObject &shape)
{
    shape.XMin = shape.YMin = shape.XMax = shape.YMax = 0;
    for (const TShpParts &part : shape.Parts)
        for (const TShpPoint &p : part.Points)
            growBox(shape.XMin, shape.YMin, shape.XMax, shape.YMax, p.X, p.Y);
}

void fitImageBox(const TMapLayer &L, TShpObject &shape)
{
    if (!isImageLayer(L) || shape.Parts.empty() || shape.Parts.front().Points.empty())
        return;
    TRasterObject r = rasterFromShape(shape);
    if (fitRasterToControlPoints(r))
        setBox(shape, {r.XMin, r.YMin, r.XMax, r.YMax});
}

Box mapBoxOf(MapControlCore &c, int layer, const TShpObject &shape)
{
    Box b = boxOf(shape);
    LayerUnits units(c, layer);
    units.convert(b);
    return b;
}

void takeInBox(MapControlCore &c, int layer, int index, const Box &mapBox)
{
    TMapLayer *L = layerAt(c, layer);
    if (!L || index < 0)
        return;
    const size_t block = static_cast<size_t>(index) / (c.FBlockSize ? c.FBlockSize : 100u);
    if (L->Blocks.size() < block + 1)
        L->Blocks.resize(block + 1);
    TBlockExtent &e = L->Blocks[block];
    growBox(e.XMin, e.YMin, e.XMax, e.YMax, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
    for (TSelObject &s : c.FSelection.Entries)
        if (s.Layer == layer && s.Index == index) {
            s.XMin = mapBox.XMin;
            s.YMin = mapBox.YMin;
            s.XMax = mapBox.XMax;
            s.YMax = mapBox.YMax;
        }
}

void journal(MapControlCore &c, int layer, int index)
{
    TMapObject *obj = objectAt(c, layer, index);
    if (!obj)
        return;
    // The places before are passed by value: the new ones replace them only
    // when the change was recorded.
    c.JournalObject(layer, index, obj->JrnOffset, obj->JrnLength, obj->JrnOffset, obj->JrnLength);
}

Box finishEdit(MapControlCore &c, int layer, int index)
{
    TMapLayer *L = layerAt(c, layer);
    TMapObject *obj = objectAt(c, layer, index);
    if (!L || !obj)
        return {};
    L->ObjectsModified = true;
    obj->Modified = true;
    const Box mapBox = mapBoxOf(c, layer, obj->Shape);
    if (!obj->Shape.Parts.empty())
        takeInBox(c, layer, index, mapBox);
    journal(c, layer, index);
    return mapBox;
}

} // namespace mapengine::edit

using namespace mapengine::edit;

void MapControlCore::ReadObjectInLayerUnits(int layer, int index, TShpObject &shape)
{
    TMapLayer *L = layerAt(*this, layer);
    if (!L || layerProjectionDefinition(*L).isEmpty()) {
        ReadObject(layer, index, shape);
        return;
    }
    bool projected = false;
    {
        LayerUnits units(*this, layer);
        projected = units.active();
    }
    if (!projected) {
        ReadObject(layer, index, shape);
        return;
    }
    // The laid-out box of a text or symbol is known only in map units.
    TShpObject inMap;
    ReadObject(layer, index, inMap);
    // The stored points: the layer read with its projection switched off.
    const bool vykProject = L->VykProject, transform = L->Transform;
    L->VykProject = L->Transform = false;
    ReadObject(layer, index, shape);
    L->VykProject = vykProject;
    L->Transform = transform;
    if (isTextLayer(*L) && (shape.ShapeType == okText || shape.ShapeType == okSymbol)) {
        Box b = boxOf(inMap);
        LayerUnits units(*this, layer);
        units.convert(b);
        setBox(shape, b);
    }
}

void MapControlCore::MapPointToLayer(int layer, double &x, double &y)
{
    LayerUnits units(*this, layer);
    units.convert(x, y);
}

void MapControlCore::LayerPointToMap(int layer, double &x, double &y)
{
    LayerUnits units(*this, layer);
    units.convert(x, y);
}
