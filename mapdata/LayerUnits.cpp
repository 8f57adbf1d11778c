// Converting between map coordinates and a layer's own, and reading objects
// in their layer's own coordinates for the writers and editors.

#include "mapdata/LayerUnits.h"

#include "mapdata/MapDataCore.h"

namespace mapdata {

LayerUnits::LayerUnits(MapDataCore &core, int layer) : core_(core)
{
    // A handle left from elsewhere must not convert this layer's points.
    core_.FreeLayerProjection();
    active_ = core_.InitLayerProjection(layer);
}

LayerUnits::~LayerUnits() { core_.FreeLayerProjection(); }

void LayerUnits::convert(double &x, double &y)
{
    if (active_)
        core_.ProjectLayerPoint(x, y);
}

void LayerUnits::convert(Box &box)
{
    if (!active_)
        return;
    core_.ProjectLayerPoint(box.XMin, box.YMin);
    core_.ProjectLayerPoint(box.XMax, box.YMax);
}

void LayerUnits::convert(TShpObject &shape)
{
    if (!active_)
        return;
    for (TShpParts &part : shape.Parts)
        for (TShpPoint &p : part.Points)
            core_.ProjectLayerPoint(p.X, p.Y);
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

} // namespace mapdata

using mapdata::LayerUnits;

void MapDataCore::ReadObjectInLayerUnits(int layer, int index, TShpObject &shape)
{
    if (!validLayer(layer) || layerProjectionDefinition(FProject.Layers[static_cast<size_t>(layer)]).isEmpty()) {
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
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    const bool vykProject = L.VykProject, transform = L.Transform;
    L.VykProject = L.Transform = false;
    ReadObject(layer, index, shape);
    L.VykProject = vykProject;
    L.Transform = transform;
    const bool textLayer = shp::recordKindOf(L.ShapeType) == shp::RecordKind::Text;
    if (textLayer && (shape.ShapeType == okText || shape.ShapeType == okSymbol)) {
        mapdata::Box b = mapdata::boxOf(inMap);
        LayerUnits units(*this, layer);
        units.convert(b);
        mapdata::setBox(shape, b);
    }
}

void MapDataCore::MapPointToLayer(int layer, double &x, double &y)
{
    LayerUnits units(*this, layer);
    units.convert(x, y);
}

void MapDataCore::LayerPointToMap(int layer, double &x, double &y)
{
    LayerUnits units(*this, layer);
    units.convert(x, y);
}
