// Picking objects of the map: the snap search at a point (object, vertex,
// segment or inside a polygon ring, with the preferences that choose among
// the candidates) and the selection of the objects a rectangle holds or
// crosses. Records are read through the layer stream.

#include "mapengine/MapControlCore.h"
#include "mapengine/StyleRenderers.h"

#include "mapdata/MapFunctions.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

bool isPointType(int t) { return t == 1 || t == 11 || t == 21; }
bool isPolyType(int t) { return t == 3 || t == 13 || t == 23 || t == 5 || t == 15 || t == 25; }
bool isPolygonType(int t) { return t == 5 || t == 15 || t == 25; }

// The current record of a stream as picking sees it.
struct Record {
    int type = 0;                 // the file's shape type
    int kind = 0;                 // the object kind of a text/symbol record
    bool valid = false;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::vector<TShpParts> parts;
    int controlPoints = 0;        // of a raster record
};

// Reads object `index` of the stream's layer. A point record hands out its
// point as often as asked: it is taken once.
Record readRecord(MapControlCore &m, TLayerStream &s, const TMapLayer &L, int layer, int index)
{
    Record r;
    m.ReadShapeRecord(s, layer, index);
    r.type = s.Header.ShapeType;
    const shp::RecordKind kind = shp::recordKindOf(r.type);
    switch (kind) {
    case shp::RecordKind::Point:
        break;
    case shp::RecordKind::Poly: {
        const shp::PolyRecordHead &h = s.PolyHead;
        r.xMin = h.XMin;
        r.yMin = h.YMin;
        r.xMax = h.XMax;
        r.yMax = h.YMax;
        r.valid = h.NumParts > 0 && h.NumPoints > 0;
        if (L.MapType == 2)
            r.valid = h.NumParts >= 1 && h.NumParts <= 500 && h.NumPoints >= 1 && h.NumPoints <= 10000;
        break;
    }
    case shp::RecordKind::Text: {
        const TTextRecord &h = s.TextHead;
        r.kind = h.Kind;
        r.xMin = h.XMin;
        r.yMin = h.YMin;
        r.xMax = h.XMax;
        r.yMax = h.YMax;
        r.valid = h.Kind > 0;
        if (L.MapType == 2)
            r.valid = h.NumParts >= 1 && h.NumParts <= 500 && h.NumPoints >= 1 && h.NumPoints <= 10000;
        break;
    }
    case shp::RecordKind::Raster: {
        const shp::RasterRecordHead &h = s.RasterHead;
        r.controlPoints = h.NumPoints;
        r.xMin = h.XMin;
        r.yMin = h.YMin;
        r.xMax = h.XMax;
        r.yMax = h.YMax;
        r.valid = (h.ShapeType == 10 || h.ShapeType == 15) && h.ImageFlag == 0;
        break;
    }
    case shp::RecordKind::None:
        break;
    }
    r.parts = m.readRecordParts(s, layer, index);
    if (kind == shp::RecordKind::Point) {
        const std::vector<TShpPoint> &points = r.parts.front().Points;
        r.valid = !points.empty();
        if (r.valid) {
            r.xMin = r.xMax = points.front().X;
            r.yMin = r.yMax = points.front().Y;
        }
    }
    return r;
}

bool zeroBox(const Record &r) { return r.xMin == 0 && r.yMin == 0 && r.xMax == 0 && r.yMax == 0; }

} // namespace

namespace {

// The layers of the order that take part in picking.
std::vector<int> pickingLayers(const MapControlCore &m, const std::vector<int> &order)
{
    const double scale = m.View().Scale != 0 ? MapControlCore::ScaleToDenominator(m.View().Scale) : 1;
    std::vector<int> out;
    for (int layer : order) {
        if (layer < 0 || static_cast<size_t>(layer) >= m.Project().Layers.size())
            continue;
        const TMapLayer &L = m.Project().Layers[static_cast<size_t>(layer)];
        if (!L.Visible || !L.Snap || L.Closed)
            continue;
        if (L.ScaleView && !(L.ScaleMin <= scale && scale <= L.ScaleMax))
            continue;
        out.push_back(layer);
    }
    return out;
}

// Whether a ray from outside the box to P crosses the edge a-b.
bool rayCrosses(const TShpPoint &a, const TShpPoint &b, double fromX, double y, double x)
{
    return MapFunctions::IntersectSegments(2, a.X, a.Y, b.X, b.Y, fromX, y, x, y).Flag == 1;
}

} // namespace

TSelObject MapControlCore::SnapToLayers(Byte mode, double x, double y, const std::vector<int> &layerOrder,
                                        int currentLayer, const TNewObject *figure)
{
    TSelObject R;
    if (mode == 0)
        ClearSelection();
    std::vector<TSelObject> candidates;
    if (FScale == 0)
        return R; // no view: no tolerance to pick within
    const double tx = 7 * FUnitsPerPixelX / FScale;
    const double ty = 7 * FUnitsPerPixelY / FScale;
    const double ts = ((FUnitsPerPixelX + FUnitsPerPixelY) / 2) * 0.2 / FScale;

    for (int layer : pickingLayers(*this, layerOrder)) {
        TLayerStream stream;
        OpenLayerStream(stream, layer);
        if (!stream.ShpHandle)
            continue;
        const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
        for (int i = static_cast<int>(L.Objects.size()) - 1; i >= 0; --i) {
            const TMapObject &obj = L.Objects[static_cast<size_t>(i)];
            if (!obj.Shown || obj.Deleted)
                continue;
            Record rec = readRecord(*this, stream, L, layer, i);
            const bool text = shp::recordKindOf(rec.type) == shp::RecordKind::Text;
            const bool raster = shp::recordKindOf(rec.type) == shp::RecordKind::Raster;
            if (!rec.valid || (text && stream.TextHead.NumPoints <= 0) || (raster && rec.controlPoints < 1))
                continue;
            if (text && (rec.kind == okText || rec.kind == okSymbol) && !rec.parts.empty() &&
                !rec.parts.front().Points.empty()) {
                const TShpPoint &a = rec.parts.front().Points.front();
                LayoutTextObject(stream.TextHead, a.X, a.Y, rec.xMin, rec.yMin, rec.xMax, rec.yMax);
            }
            if (zeroBox(rec))
                continue;
            const double x0 = rec.xMin - tx, x1 = rec.xMax + tx, y0 = rec.yMin - ty, y1 = rec.yMax + ty;
            if (x < x0 || x > x1 || y < y0 || y > y1)
                continue;

            R = TSelObject{};
            R.Layer = layer;
            R.Index = i;
            R.Hit = 1;
            R.Kind = L.ObjType;
            R.XMin = x0;
            R.YMin = y0;
            R.XMax = x1;
            R.YMax = y1;

            // Rays to P from beyond either side of the widened box.
            const double reach = (x1 - x0) + 1;
            auto walk = [&](bool segments, bool inside) {
                int position = 0;
                for (const TShpParts &part : rec.parts) {
                    int left = 0, right = 0;
                    for (size_t k = 0; k < part.Points.size(); ++k, ++position) {
                        if (R.OnVertex)
                            break;
                        const TShpPoint &p = part.Points[k];
                        if (MapFunctions::PointNearPoint(x, y, p.X, p.Y, tx, ty)) {
                            R.VertexIndex = position;
                            R.OnVertex = 1;
                            R.SnapX = p.X;
                            R.SnapY = p.Y;
                            break;
                        }
                        if (k == 0)
                            continue;
                        const TShpPoint &q = part.Points[k - 1];
                        if (segments && MapFunctions::PointOnSegment(q.X, q.Y, p.X, p.Y, x, y, ts)) {
                            R.VertexIndex = position;
                            R.OnSegment = 1;
                            R.SegEndX = p.X;
                            R.SegEndY = p.Y;
                            R.SegStartX = q.X;
                            R.SegStartY = q.Y;
                            const double d = std::hypot(x - q.X, y - q.Y);
                            const MapFunctions::TPointAlong s =
                                MapFunctions::PointAlongDirection(q.X, q.Y, 0, p.X, p.Y, 0, 0, d);
                            R.SnapX = s.X;
                            R.SnapY = s.Y;
                        }
                        if (inside && !R.OnSegment) {
                            if (rayCrosses(q, p, x0 - reach, y, x))
                                ++left;
                            if (rayCrosses(q, p, x1 + reach, y, x))
                                ++right;
                        }
                    }
                    // Each ring alone: inside a hole is inside its ring too.
                    if (R.OnVertex || R.OnSegment || (inside && (left % 2 == 1 || right % 2 == 1)))
                        R.Hit = 1;
                    if (R.OnVertex)
                        break;
                }
            };

            if (text) {
                R.Kind = static_cast<Byte>(rec.kind);
                if (rec.kind != okText && rec.kind != okSymbol && rec.kind != okOval)
                    R.Hit = 0;
                walk(rec.kind != okText && rec.kind != okSymbol, rec.kind == okPolygon);
            } else if (isPointType(rec.type)) {
                const TShpPoint &p = rec.parts.front().Points.front();
                if (MapFunctions::PointNearPoint(x, y, p.X, p.Y, tx, ty)) {
                    R.VertexIndex = 0;
                    R.OnVertex = 1;
                    R.SnapX = p.X;
                    R.SnapY = p.Y;
                }
            } else if (isPolyType(rec.type)) {
                R.Hit = 0;
                walk(true, isPolygonType(rec.type));
            } else if (raster) {
                const std::vector<TShpPoint> &points = rec.parts.front().Points;
                for (size_t k = 0; k < points.size(); ++k)
                    if (MapFunctions::PointNearPoint(x, y, points[k].X, points[k].Y, tx, ty)) {
                        R.VertexIndex = static_cast<std::int32_t>(k);
                        R.OnVertex = 1;
                        R.SnapX = points[k].X;
                        R.SnapY = points[k].Y;
                        break;
                    }
            }

            if (R.Hit) {
                R.ObjectID = obj.ObjectID;
                if (mode == 0)
                    FSelection.Entries.push_back(R);
                candidates.push_back(R);
            }
            R = TSelObject{};
        }
        CloseLayerStream(stream);
    }

    // Two segments passing the point cross near it: a vertex there.
    for (size_t i = 0; i + 1 < candidates.size(); ++i) {
        bool found = false;
        for (size_t j = i + 1; j < candidates.size() && !found; ++j) {
            const TSelObject &a = candidates[i], &b = candidates[j];
            if (!a.OnSegment || !b.OnSegment)
                continue;
            const MapFunctions::TCrossing c = MapFunctions::IntersectSegments(
                2, a.SegStartX, a.SegStartY, a.SegEndX, a.SegEndY, b.SegStartX, b.SegStartY, b.SegEndX, b.SegEndY);
            if (c.Flag != 1 || !MapFunctions::PointNearPoint(x, y, c.X, c.Y, tx, ty))
                continue;
            TSelObject v;
            v.Layer = a.Layer;
            v.Index = a.Index;
            v.VertexIndex = a.VertexIndex;
            v.XMin = a.XMin;
            v.YMin = a.YMin;
            v.XMax = a.XMax;
            v.YMax = a.YMax;
            v.Hit = 1;
            v.OnVertex = 1;
            v.SnapX = c.X;
            v.SnapY = c.Y;
            candidates.push_back(v);
            found = true;
        }
        if (found)
            break;
    }

    // The choice among the candidates.
    auto chosen = [&](auto inCategory) -> std::optional<TSelObject> {
        std::optional<TSelObject> first, inCurrent;
        for (const TSelObject &c : candidates) {
            if (!inCategory(c))
                continue;
            if (!first)
                first = c;
            if (c.Layer == currentLayer)
                inCurrent = c;
        }
        return inCurrent ? inCurrent : first;
    };
    auto last = [&](auto test) -> std::optional<TSelObject> {
        std::optional<TSelObject> found;
        for (const TSelObject &c : candidates)
            if (test(c))
                found = c;
        return found;
    };
    std::optional<TSelObject> selectedVertex, selectedSegment, selectedLayer;
    if (FSelection.Entries.size() == 1) {
        const TSelObject &only = FSelection.Entries.front();
        auto same = [&](const TSelObject &c) { return c.Layer == only.Layer && c.Index == only.Index; };
        selectedLayer = last([&](const TSelObject &c) { return c.Layer == only.Layer; });
        selectedVertex = last([&](const TSelObject &c) { return same(c) && c.OnVertex; });
        selectedSegment = last([&](const TSelObject &c) { return same(c) && c.OnSegment; });
    }
    const std::optional<TSelObject> anyChosen = chosen([](const TSelObject &) { return true; });
    const std::optional<TSelObject> vertexChosen = chosen([](const TSelObject &c) { return c.OnVertex != 0; });
    const std::optional<TSelObject> segmentChosen = chosen([](const TSelObject &c) { return c.OnSegment != 0; });
    const std::optional<TSelObject> *order[] = {&selectedVertex, &selectedSegment, &vertexChosen,
                                                &segmentChosen,  &selectedLayer,   &anyChosen};
    for (const std::optional<TSelObject> *pick : order) {
        if (*pick) {
            R = **pick;
            break;
        }
    }

    // The figure being digitized wins over everything.
    if (figure) {
        for (const TNewPoint &p : figure->Points)
            if (MapFunctions::PointNearPoint(x, y, p.Point.X, p.Point.Y, tx, ty)) {
                R = TSelObject{};
                R.Hit = 1;
                R.OnVertex = 1;
                R.SnapX = p.Point.X;
                R.SnapY = p.Point.Y;
            }
    }
    if (mode == 0)
        RecalcSelectionExtent();
    return R;
}

void MapControlCore::SelectInRectangle(Qt::KeyboardModifiers shift, double x1, double y1, double x2, double y2,
                                       const std::vector<int> &layerOrder)
{
    const bool adding = shift.testFlag(Qt::ShiftModifier);
    const bool insideOnly = shift.testFlag(Qt::ControlModifier);
    if (!adding)
        ClearSelection();
    const double rx0 = std::min(x1, x2), rx1 = std::max(x1, x2);
    const double ry0 = std::min(y1, y2), ry1 = std::max(y1, y2);
    mapengine::StyleServices crossing;

    for (int layer : pickingLayers(*this, layerOrder)) {
        const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
        QString shpName;
        GetLayerShpName(L.FileName, QString(), shpName);
        if (existingFile(shpName).isEmpty())
            continue;
        TLayerStream stream;
        OpenLayerStream(stream, layer);
        if (!stream.ShpHandle)
            continue;
        for (int i = static_cast<int>(L.Objects.size()) - 1; i >= 0; --i) {
            const TMapObject &obj = L.Objects[static_cast<size_t>(i)];
            if (!obj.Shown || obj.Deleted)
                continue;
            const Record rec = readRecord(*this, stream, L, layer, i);
            if (!rec.valid || zeroBox(rec))
                continue;
            const bool inside = rec.xMin >= rx0 && rec.xMax <= rx1 && rec.yMin >= ry0 && rec.yMax <= ry1;
            bool crosses = false;
            if (!insideOnly && !inside) {
                crosses = rx0 >= rec.xMin && rx1 <= rec.xMax && ry0 >= rec.yMin && ry1 <= rec.yMax;
                if (isPolyType(rec.type)) {
                    // Lines and polygons only by an edge crossing a side: a
                    // rectangle inside a large polygon does not select it.
                    crosses = false;
                    const double sides[4][4] = {
                        {rx0, ry0, rx0, ry1}, {rx0, ry0, rx1, ry0}, {rx0, ry1, rx1, ry1}, {rx1, ry0, rx1, ry1}};
                    for (const TShpParts &part : rec.parts) {
                        for (size_t k = 1; k < part.Points.size() && !crosses; ++k) {
                            const TShpPoint &a = part.Points[k - 1], &b = part.Points[k];
                            for (const auto &s : sides)
                                if (crossing.IntersectLines(2, a.X, a.Y, 0, b.X, b.Y, 0, s[0], s[1], 0, s[2], s[3],
                                                            0) == 1) {
                                    crosses = true;
                                    break;
                                }
                        }
                        if (crosses)
                            break;
                    }
                }
            }
            if (!crosses && !inside)
                continue;
            if (adding && std::any_of(FSelection.Entries.begin(), FSelection.Entries.end(),
                                      [&](const TSelObject &e) { return e.Layer == layer && e.Index == i; }))
                continue;
            TSelObject e;
            e.Layer = layer;
            e.Index = i;
            e.Hit = 1;
            e.ObjectID = obj.ObjectID;
            e.Kind = shp::recordKindOf(rec.type) == shp::RecordKind::Text ? static_cast<Byte>(rec.kind) : L.ObjType;
            e.XMin = rec.xMin;
            e.YMin = rec.yMin;
            e.XMax = rec.xMax;
            e.YMax = rec.yMax;
            FSelection.Entries.push_back(e);
        }
        CloseLayerStream(stream);
    }
    RecalcSelectionExtent();
}
