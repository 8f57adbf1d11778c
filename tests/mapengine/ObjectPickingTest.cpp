// Picking objects over layers in a work folder: the snap search at a point
// (points, lines, polygons with holes, texts, rasters, crossings, the
// preferences among candidates, the figure being digitized) and the
// rectangle selection.

#include "EngineFixtures.h"

#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace maptest;
using fixtures::Pt;

namespace {

// Seven pixels are 1.75 map units here; a fifth of a pixel 0.05.
struct PickProject : EngineProject {
    int points, roads, parcels, texts, images;
    std::vector<int> order;
    double textX0 = 0, textY0 = 0, textX1 = 0, textY1 = 0;

    PickProject()
    {
        points = addLayer(QStringLiteral("points"), 1, {fixtures::pointContent(1, 960, 1040)});
        roads = addLayer(QStringLiteral("roads"), 3,
                         {fixtures::polyContent(3, {920, 1000, 1080, 1000}, {0}, {{920, 1000}, {1080, 1000}}),
                          fixtures::polyContent(3, {1000, 960, 1000, 1040}, {0}, {{1000, 960}, {1000, 1040}})});
        // A polygon with a hole.
        std::vector<Pt> rings = ring(930, 960, 990, 1030);
        const std::vector<Pt> hole = ring(950, 980, 970, 1010);
        rings.insert(rings.end(), hole.begin(), hole.end());
        parcels = addLayer(QStringLiteral("parcels"), 5, {fixtures::polyContent(5, {930, 960, 990, 1030}, {0, 5}, rings)});
        fixtures::TextFields t;
        t.kind = okText;
        t.text = platform::toCp1251(QStringLiteral("Тестовая надпись"));
        t.fontName = "Arial";
        t.box = {1030, 1020, 1060, 1040};
        fixtures::TextFields l = t;
        l.kind = okLine;
        l.text.clear();
        l.box = {1040, 960, 1070, 970};
        texts = addLayer(QStringLiteral("texts"), 8,
                         {fixtures::textContent(t, {0}, {{1032, 1025}}),
                          fixtures::textContent(l, {0}, {{1040, 960}, {1070, 970}})});
        images = addLayer(QStringLiteral("images"), 10,
                          {fixtures::rasterContent(10, {1050, 1000, 1070, 1010}, "pic.bmp", 0, 200, 100,
                                                   {{1050, 1010, 0, 0}, {1070, 1000, 200, 100}})});
        for (TMapLayer &L : map.Project().Layers)
            for (TMapObject &o : L.Objects)
                o.Shown = true;
        // The layer list from its last row to its first.
        order = {images, texts, parcels, roads, points};
        TShpObject shape;
        map.ReadObject(texts, 0, shape);
        textX0 = shape.XMin;
        textY0 = shape.YMin;
        textX1 = shape.XMax;
        textY1 = shape.YMax;
    }

    TSelObject snap(double x, double y, int current = -1, Byte mode = 1, const TNewObject *figure = nullptr)
    {
        return map.SnapToLayers(mode, x, y, order, current, figure);
    }
};

} // namespace

TEST(ObjectPicking, SnapSearchByKind)
{
    PickProject p;
    struct Case {
        const char *name;
        double x, y;
        int layer, index;   // -1: nothing
        Byte kind;
        bool onVertex, onSegment;
        int vertex;
        double snapX, snapY;
    };
    const double tx = (p.textX0 + p.textX1) / 2, ty = (p.textY0 + p.textY1) / 2;
    const Case cases[] = {
        {"point", 960.5, 1040.5, p.points, 0, otPoints, true, false, 0, 960, 1040},
        {"beside a point", 962, 1040, -1, 0, 0, false, false, 0, 0, 0},
        {"line vertex", 1079, 1001, p.roads, 0, otPolylines, true, false, 1, 1080, 1000},
        {"line segment", 925, 1000.01, p.roads, 0, otPolylines, false, true, 1, 925, 1000},
        {"beside a line", 1040, 1003, -1, 0, 0, false, false, 0, 0, 0},
        {"polygon ring", 935, 1020, p.parcels, 0, otPolygons, false, false, 0, 0, 0},
        // Every ring is tested alone: inside the hole is inside its ring.
        {"polygon hole", 960, 995, p.parcels, 0, otPolygons, false, false, 0, 0, 0},
        {"polygon edge", 940, 960.01, p.parcels, 0, otPolygons, false, true, 4, 940, 960},
        {"hole vertex", 970.5, 1009.5, p.parcels, 0, otPolygons, true, false, 7, 970, 1010},
        {"beside a polygon", 991, 1020, -1, 0, 0, false, false, 0, 0, 0},
        {"text, anywhere in its box", tx, ty, p.texts, 0, okText, false, false, 0, 0, 0},
        {"line of a text layer, off it", 1055, 963, -1, 0, 0, false, false, 0, 0, 0},
        {"line of a text layer, on it", 1055, 965, p.texts, 1, okLine, false, true, 1, 1055, 965},
        {"raster box", 1060, 1004, p.images, 0, otImages, false, false, 0, 0, 0},
        {"raster control point", 1069, 1001, p.images, 0, otImages, true, false, 1, 1070, 1000},
        {"nothing", 910, 1045, -1, 0, 0, false, false, 0, 0, 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const TSelObject r = p.snap(k.x, k.y);
        if (k.layer < 0) {
            EXPECT_EQ(r.Hit, 0);
            EXPECT_EQ(r.OnVertex, 0);
            EXPECT_EQ(r.OnSegment, 0);
            continue;
        }
        EXPECT_EQ(r.Hit, 1);
        EXPECT_EQ(r.Layer, k.layer);
        EXPECT_EQ(r.Index, k.index);
        EXPECT_EQ(r.Kind, k.kind);
        EXPECT_EQ(r.OnVertex, k.onVertex);
        EXPECT_EQ(r.OnSegment, k.onSegment);
        if (k.onVertex || k.onSegment) {
            EXPECT_EQ(r.VertexIndex, k.vertex);
            EXPECT_NEAR(r.SnapX, k.snapX, 0.02);
            EXPECT_NEAR(r.SnapY, k.snapY, 0.02);
        }
    }
    // A result's box is the object's widened by the tolerance.
    const TSelObject r = p.snap(960.5, 1040.5);
    EXPECT_DOUBLE_EQ(r.XMin, 960 - 1.75);
    EXPECT_DOUBLE_EQ(r.YMax, 1040 + 1.75);
    // The search alone selects nothing.
    EXPECT_TRUE(p.map.Selection().Entries.empty());
}

TEST(ObjectPicking, SnapPreferences)
{
    PickProject p;
    // Two lines passing the point, neither vertex near: a vertex at their
    // crossing.
    TSelObject r = p.snap(1000.02, 1000.03);
    EXPECT_EQ(r.OnVertex, 1);
    EXPECT_EQ(r.OnSegment, 0);
    EXPECT_NEAR(r.SnapX, 1000, 0.001);
    EXPECT_NEAR(r.SnapY, 1000, 0.001);

    // With two candidates on the same footing the current layer's wins; among
    // several of one layer the last found (the first object of the layer).
    r = p.snap(1060, 1005);  // the raster only
    EXPECT_EQ(r.Layer, p.images);
    r = p.snap(1001, 1001, p.roads);
    EXPECT_EQ(r.Layer, p.roads);

    // With one object selected, a vertex of that object wins over a nearer
    // vertex of another.
    p.map.ClearSelection();
    p.select(p.roads, 1);
    r = p.snap(999, 1039, -1);
    EXPECT_EQ(r.Layer, p.roads);
    EXPECT_EQ(r.Index, 1);
    EXPECT_EQ(r.OnVertex, 1);
    EXPECT_EQ(r.VertexIndex, 1);
    p.map.ClearSelection();

    // While digitizing, the figure's own points win over every vertex.
    TNewObject figure;
    TNewPoint a;
    a.Point.X = 1079.5;
    a.Point.Y = 1000.5;
    figure.Points.push_back(a);
    r = p.snap(1079, 1001, -1, 1, &figure);
    EXPECT_EQ(r.OnVertex, 1);
    EXPECT_EQ(r.Layer, 0);
    EXPECT_EQ(r.SnapX, 1079.5);
    EXPECT_EQ(r.SnapY, 1000.5);

    // Mode 0 selects every object hit, with the widened boxes.
    r = p.snap(1000.02, 1000.03, -1, 0);
    ASSERT_EQ(p.map.Selection().Entries.size(), 2u);
    EXPECT_EQ(p.map.Selection().MinX, 920 - 1.75);
    EXPECT_EQ(p.map.Selection().MaxY, 1040 + 1.75);

    // Hidden, deleted objects and layers that are not selectable or out of
    // their scale range take no part.
    p.object(p.points, 0).Shown = false;
    EXPECT_EQ(p.snap(960.5, 1040.5).Hit, 0);
    p.object(p.points, 0).Shown = true;
    p.object(p.points, 0).Deleted = true;
    EXPECT_EQ(p.snap(960.5, 1040.5).Hit, 0);
    p.object(p.points, 0).Deleted = false;
    p.layer(p.points).Snap = false;
    EXPECT_EQ(p.snap(960.5, 1040.5).Hit, 0);
    p.layer(p.points).Snap = true;
    p.layer(p.points).ScaleView = true;
    p.layer(p.points).ScaleMin = 2000;
    p.layer(p.points).ScaleMax = 5000;
    EXPECT_EQ(p.snap(960.5, 1040.5).Hit, 0);
    p.layer(p.points).ScaleMin = 500;
    EXPECT_EQ(p.snap(960.5, 1040.5).Hit, 1);
}

TEST(ObjectPicking, RectangleSelection)
{
    PickProject p;
    auto selected = [&] {
        std::vector<std::pair<int, int>> out;
        for (const TSelObject &e : p.map.Selection().Entries)
            out.emplace_back(e.Layer, e.Index);
        std::sort(out.begin(), out.end());
        return out;
    };
    using Sel = std::vector<std::pair<int, int>>;
    struct Case {
        const char *name;
        Qt::KeyboardModifiers shift;
        double x1, y1, x2, y2;
        Sel expected;
    };
    const Case cases[] = {
        // Inside a large polygon (in its ring, and in its hole): no edge
        // crosses, so nothing.
        {"inside a polygon", {}, 932, 962, 945, 975, {}},
        {"inside a hole", {}, 955, 1002, 965, 1008, {}},
        // An edge crossing a side selects it; Ctrl wants it whole.
        {"across an edge", {}, 925, 962, 935, 975, {{p.parcels, 0}}},
        {"across an edge, Ctrl", Qt::ControlModifier, 925, 962, 935, 975, {}},
        // Inside a text's or a raster's box selects it, without Ctrl.
        {"inside a text box", {}, 1040, 1025, 1045, 1030, {{p.texts, 0}}},
        {"inside a raster box", {}, 1055, 1003, 1060, 1006, {{p.images, 0}}},
        {"inside a raster box, Ctrl", Qt::ControlModifier, 1055, 1003, 1060, 1006, {}},
        {"a point, corners either way", {}, 965, 1045, 955, 1035, {{p.points, 0}}},
        {"across both lines", {}, 992, 990, 1010, 1010, {{p.roads, 0}, {p.roads, 1}}},
        {"around everything, Ctrl", Qt::ControlModifier, 900, 950, 1100, 1050,
         {{p.points, 0}, {p.roads, 0}, {p.roads, 1}, {p.parcels, 0}, {p.texts, 0}, {p.texts, 1}, {p.images, 0}}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        p.map.SelectInRectangle(k.shift, k.x1, k.y1, k.x2, k.y2, p.order);
        EXPECT_EQ(selected(), k.expected);
    }
    // The entries: hit, the kind, the record's box; the extent follows.
    p.map.SelectInRectangle({}, 1040, 1025, 1045, 1030, p.order);
    ASSERT_EQ(p.map.Selection().Entries.size(), 1u);
    const TSelObject &e = p.map.Selection().Entries.front();
    EXPECT_EQ(e.Hit, 1);
    EXPECT_EQ(e.Kind, okText);
    EXPECT_EQ(e.XMin, 1030);
    EXPECT_EQ(e.YMax, 1040);
    EXPECT_EQ(p.map.Selection().MaxX, 1060);
    // Shift adds, and an object already selected is not added again.
    p.map.SelectInRectangle(Qt::ShiftModifier | Qt::ControlModifier, 1030, 995, 1075, 1045, p.order);
    EXPECT_EQ(selected(), (Sel{{p.texts, 0}, {p.images, 0}}));
    EXPECT_EQ(p.map.Selection().Entries.front().Layer, p.texts);
    // A layer whose files are gone is passed over.
    QFile::remove(p.dir.file(QStringLiteral("images.shp")));
    p.map.SelectInRectangle({}, 1055, 1003, 1060, 1006, p.order);
    EXPECT_EQ(selected(), Sel{});
}

TEST(ObjectPicking, InsideRingsAnywhereOnTheMap)
{
    // Rays to half the box's left and twice its right would start inside a
    // box of negative coordinates; the rays leave the box whatever its place.
    EngineProject p;
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5,
                                   {fixtures::polyContent(5, {-50, -50, -10, -10}, {0}, ring(-50, -50, -10, -10)),
                                    fixtures::polyContent(5, {-20, 5, 20, 45}, {0}, ring(-20, 5, 20, 45))});
    for (TMapObject &o : p.layer(parcels).Objects)
        o.Shown = true;
    struct Case {
        double x, y;
        int index;   // -1 nothing
    };
    const Case cases[] = {{-30, -30, 0}, {-45, -12, 0}, {-8, -30, -1}, {0, 25, 1}, {-19, 6.5, 1}, {19, 44, 1},
                          {-21.5, 25, -1}};
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << k.x << ", " << k.y);
        const TSelObject r = p.map.SnapToLayers(1, k.x, k.y, {parcels}, parcels);
        EXPECT_EQ(r.Hit, k.index >= 0 ? 1 : 0);
        if (k.index >= 0) {
            EXPECT_EQ(r.Index, k.index);
        }
    }
}
