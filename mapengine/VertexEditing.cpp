// Changing single points of existing objects: inserting, deleting and moving
// vertices (the edit tool) and appending track points (GPS tracking). Each
// reads the object afresh in its layer's own coordinates, changes whole
// points (a raster object's control point carries its pixel in the third
// value, which must stay with its map point), recomputes the box and
// journals the object.

#include "mapengine/EditSupport.h"

#include "platform/Rounding.h"

using namespace mapengine::edit;

namespace {

// The part and the place in it of a vertex position counted over the whole
// object; false when no part holds it.
bool findVertex(const TShpObject &shape, std::int32_t position, size_t &part, size_t &place)
{
    if (position < 0)
        return false;
    std::int64_t left = position;
    for (size_t j = 0; j < shape.Parts.size(); ++j) {
        const auto length = static_cast<std::int64_t>(shape.Parts[j].Points.size());
        if (left < length) {
            part = j;
            place = static_cast<size_t>(left);
            return true;
        }
        left -= length;
    }
    return false;
}

// A new vertex at (x, y) beside a neighbour (null: none). In layers of
// points, lines and polygons it takes the neighbour's height and measure, so
// that a layer with heights stays level where a vertex is added; the third
// value of a text or raster point (a pixel) is never copied, it is 0.
TShpPoint newPoint(const TMapLayer &L, const TShpPoint *neighbour, double x, double y)
{
    TShpPoint p;
    if (neighbour && carriesHeights(L.ShapeType)) {
        p.Z = neighbour->Z;
        p.M = neighbour->M;
    }
    p.X = x;
    p.Y = y;
    return p;
}

// The box after a change of the points: that of the points, or for an
// image the one fitted to its control points.
void recomputeBox(const TMapLayer &L, TShpObject &shape)
{
    recomputePointsBox(shape);
    fitImageBox(L, shape);
}

} // namespace

void MapControlCore::InsertVertex(int layer, int object, int position, double x, double y)
{
    TMapLayer *L = editableLayerAt(*this, layer);
    TMapObject *obj = objectAt(*this, layer, object);
    // The object's own layer must be open to edits, whatever layer is current.
    if (!L || !obj)
        return;
    ReadObjectInLayerUnits(layer, object, *obj->Shape);
    MapPointToLayer(layer, x, y);
    size_t part = 0, place = 0;
    if (findVertex(*obj->Shape, position, part, place)) {
        std::vector<TShpPoint> &points = obj->Shape->Parts[part].Points;
        // The neighbour is the vertex it follows, or the one it precedes when first.
        const TShpPoint p = newPoint(*L, &points[place > 0 ? place - 1 : place], x, y);
        points.insert(points.begin() + static_cast<std::ptrdiff_t>(place), p);
        recomputeBox(*L, *obj->Shape);
    }
    finishEdit(*this, layer, object);
}

void MapControlCore::DeleteVertex(int layer, int object, int position)
{
    TMapLayer *L = editableLayerAt(*this, layer);
    TMapObject *obj = objectAt(*this, layer, object);
    if (!L || !obj)
        return;
    ReadObjectInLayerUnits(layer, object, *obj->Shape);
    size_t part = 0, place = 0;
    if (findVertex(*obj->Shape, position, part, place) && obj->Shape->Parts[part].Points.size() >= 2) {
        std::vector<TShpPoint> &points = obj->Shape->Parts[part].Points;
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(place));
        recomputeBox(*L, *obj->Shape);
    }
    finishEdit(*this, layer, object);
}

bool MapControlCore::MoveVertex(const TMapPoint &point, Qt::KeyboardModifiers shift)
{
    bool edited = false;
    // The list is copied: finishing an edit updates the boxes of the entries.
    const std::vector<TSelObject> entries = FSelection.Entries;
    for (const TSelObject &entry : entries) {
        TMapLayer *L = editableLayerAt(*this, entry.Layer);
        TMapObject *obj = objectAt(*this, entry.Layer, entry.Index);
        if (!L)
            continue;
        edited = true;
        if (!obj)
            continue;
        const std::int32_t v = entry.VertexIndex;
        double x = point.X, y = point.Y;

        if (!(shift & Qt::AltModifier)) {
            ReadObjectInLayerUnits(entry.Layer, entry.Index, *obj->Shape);
            TShpObject &shape = *obj->Shape;
            MapPointToLayer(entry.Layer, x, y);
            bool setPivot = false;
            if (!shape.Parts.empty()) {
                std::vector<TShpPoint> &first = shape.Parts.front().Points;
                if ((shift & Qt::ControlModifier) && isImageLayer(*L)) {
                    // The control point stays on the map and takes the pixel
                    // under the cursor: re-registering a picture.
                    if (v >= 0 && static_cast<size_t>(v) < first.size()) {
                        const double w = shape.XMax - shape.XMin;
                        const double h = shape.YMax - shape.YMin;
                        TShpPoint &p = first[static_cast<size_t>(v)];
                        const std::int32_t column =
                            w != 0 ? platform::roundToInt((x - shape.XMin) * shape.ImageWidth / w) : p.W();
                        const std::int32_t row =
                            h != 0 ? platform::roundToInt((shape.YMax - y) * shape.ImageHeight / h) : p.H();
                        p.setWH(column, row);
                    }
                } else {
                    size_t part = 0, place = 0;
                    if (findVertex(shape, v, part, place)) {
                        TShpPoint &p = shape.Parts[part].Points[place];
                        p.X = x;
                        p.Y = y;
                    }
                    recomputePointsBox(shape);
                    setPivot = true;
                }
                fitImageBox(*L, shape);
            }
            const Box box = finishEdit(*this, entry.Layer, entry.Index);
            if (setPivot) {
                FSelection.PivotX = box.XMin + (box.XMax - box.XMin) / 2;
                FSelection.PivotY = box.YMin + (box.YMax - box.YMin) / 2;
            }
        } else if (L->MapType != 0) {
            // A new vertex after the dragged one, which stays.
            ReadObjectInLayerUnits(entry.Layer, entry.Index, *obj->Shape);
            TShpObject &shape = *obj->Shape;
            MapPointToLayer(entry.Layer, x, y);
            size_t part = 0, place = 0;
            if (findVertex(shape, v, part, place)) {
                std::vector<TShpPoint> &points = shape.Parts[part].Points;
                const TShpPoint p = newPoint(*L, &points[place], x, y);
                points.insert(points.begin() + static_cast<std::ptrdiff_t>(place) + 1, p);
            }
            // An image is drawn into its box: it stays the fitted one.
            recomputeBox(*L, shape);
            const Box box = finishEdit(*this, entry.Layer, entry.Index);
            FSelection.PivotX = box.XMin + (box.XMax - box.XMin) / 2;
            FSelection.PivotY = box.YMin + (box.YMax - box.YMin) / 2;
        }
    }
    return edited;
}

void MapControlCore::AppendTrackPoint(int layer, int object, const QString &tracker, double x, double y,
                                      double extra)
{
    // The tracker and the further value identify the report; the track
    // itself needs only the point.
    Q_UNUSED(tracker);
    Q_UNUSED(extra);
    TMapObject *obj = objectAt(*this, layer, object);
    // Tracking extends its tracks whether the layer is open to edits or not;
    // a layer opened read-only is never written.
    if (!obj || !LayerWritable(layer))
        return;
    ReadObjectInLayerUnits(layer, object, *obj->Shape);
    TShpObject &shape = *obj->Shape;
    MapPointToLayer(layer, x, y);
    if (shape.Parts.empty())
        shape.Parts.emplace_back();
    std::vector<TShpPoint> &track = shape.Parts.back().Points;
    const TShpPoint p = newPoint(*layerAt(*this, layer), track.empty() ? nullptr : &track.back(), x, y);
    track.push_back(p);
    // The box of all the points, the first setting every bound.
    bool first = true;
    for (const TShpParts &part : shape.Parts)
        for (const TShpPoint &p : part.Points) {
            if (first || p.X < shape.XMin) shape.XMin = p.X;
            if (first || p.Y < shape.YMin) shape.YMin = p.Y;
            if (first || p.X > shape.XMax) shape.XMax = p.X;
            if (first || p.Y > shape.YMax) shape.YMax = p.Y;
            first = false;
        }
    finishEdit(*this, layer, object);
}
