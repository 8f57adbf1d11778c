// What the editing operations of the map control share.

#include "mapengine/EditSupport.h"

namespace mapengine::edit {

TMapLayer *layerAt(MapControlCore &c, int layer)
{
    if (layer < 0 || static_cast<size_t>(layer) >= c.Project().Layers.size())
        return nullptr;
    return &c.Project().Layers[static_cast<size_t>(layer)];
}

TMapLayer *editableLayerAt(MapControlCore &c, int layer)
{
    TMapLayer *L = layerAt(c, layer);
    return L && L->Edited && c.LayerWritable(layer) ? L : nullptr;
}

TMapObject *objectAt(MapControlCore &c, int layer, int index)
{
    TMapLayer *L = layerAt(c, layer);
    if (!L || index < 0 || static_cast<size_t>(index) >= L->Objects.size())
        return nullptr;
    return &L->Objects[static_cast<size_t>(index)];
}

void fitImageBox(const TMapLayer &L, TShpObject &shape)
{
    if (!isImageLayer(L) || shape.Parts.empty() || shape.Parts.front().Points.empty())
        return;
    TRasterObject r = raster::rasterFromShape(shape);
    if (raster::fitRasterToControlPoints(r))
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
    const size_t block = static_cast<size_t>(index) / (c.BlockSize() ? c.BlockSize() : 100u);
    if (L->Blocks.size() < block + 1)
        L->Blocks.resize(block + 1);
    TBlockExtent &e = L->Blocks[block];
    growBox(e.XMin, e.YMin, e.XMax, e.YMax, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
    // The layer's extent too, so that what fits the layer finds it.
    growBox(L->MtMinX, L->MtMinY, L->MtMaxX, L->MtMaxY, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
    L->CenterX = L->MtMinX + (L->MtMaxX - L->MtMinX) / 2;
    L->CenterY = L->MtMinY + (L->MtMaxY - L->MtMinY) / 2;
    for (TSelObject &s : c.Selection().Entries)
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
    const Box mapBox = mapBoxOf(c, layer, *obj->Shape);
    if (!obj->Shape->Parts.empty())
        takeInBox(c, layer, index, mapBox);
    journal(c, layer, index);
    return mapBox;
}

} // namespace mapengine::edit
