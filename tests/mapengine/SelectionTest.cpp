// The selection of the map control: its extent and pivot, the kind its
// entries share, the frame handle under the mouse, the rotation of texts and
// where a point goes when the frame is dragged.

#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace maptest;

namespace {

// A view where a pixel is 25 units of 0.01 mm and a map unit 100 of them:
// pixel (px, py) is the map point (900 + px / 4, 1050 - py / 4).
std::unique_ptr<MapControlCore> view()
{
    auto c = std::make_unique<MapControlCore>();
    c->SetScale(100);
    c->SetCentreX(1000);
    c->SetCentreY(1000);
    c->SetPictureWidth(20000);
    c->SetPictureHeight(10000);
    c->SetUnitsPerPixelX(25);
    c->SetUnitsPerPixelY(25);
    return c;
}

int px(double x) { return static_cast<int>(std::lround((x - 900) * 4)); }
int py(double y) { return static_cast<int>(std::lround((1050 - y) * 4)); }

TSelObject entry(int layer, int index, Byte kind, double x0, double y0, double x1, double y1)
{
    TSelObject e;
    e.Layer = layer;
    e.Index = index;
    e.Kind = kind;
    e.XMin = x0;
    e.YMin = y0;
    e.XMax = x1;
    e.YMax = y1;
    return e;
}

// A selection of one object with the box (950, 990) - (1050, 1040): 100 × 50.
void selectBox(MapControlCore &c, double x0 = 950, double y0 = 990, double x1 = 1050, double y1 = 1040)
{
    c.ClearSelection();
    c.Selection().Entries.push_back(entry(0, 0, 3, x0, y0, x1, y1));
    c.RecalcSelectionExtent();
}

} // namespace

TEST(Selection, ClearAndExtent)
{
    auto c = view();
    TSelObjects &s = c->Selection();
    s.Reserved1 = 7;
    s.Reserved2 = 8;
    s.FrameMode = 1;
    s.PivotX = 3;
    s.Entries.push_back(entry(0, 0, 3, 1, 2, 3, 4));
    c->ClearSelection();
    EXPECT_TRUE(s.Entries.empty());
    EXPECT_EQ(s.Reserved1, 0);
    EXPECT_EQ(s.Reserved2, 0);
    EXPECT_EQ(s.FrameMode, 0);
    EXPECT_EQ(s.PivotX, 0);

    // Nothing selected: extent and centre 0, and so the pivot.
    c->RecalcSelectionExtent();
    EXPECT_EQ(s.MinX, 0);
    EXPECT_EQ(s.MaxY, 0);
    EXPECT_EQ(s.CenterX, 0);

    // The first entry sets every bound, negative ones too (no bound of 0 is
    // taken as unset here).
    s.Entries.push_back(entry(0, 0, 3, -10, -20, -5, -8));
    s.Entries.push_back(entry(0, 1, 3, -12, -15, -6, -2));
    c->RecalcSelectionExtent();
    EXPECT_EQ(s.MinX, -12);
    EXPECT_EQ(s.MinY, -20);
    EXPECT_EQ(s.MaxX, -5);
    EXPECT_EQ(s.MaxY, -2);
    EXPECT_EQ(s.CenterX, -8.5);
    EXPECT_EQ(s.CenterY, -11);
    EXPECT_EQ(s.PivotX, -8.5);
    EXPECT_EQ(s.PivotY, -11);

    // The pivot stays once set; a cleared selection takes the new centre.
    s.Entries.push_back(entry(0, 2, 3, 100, 100, 110, 120));
    c->RecalcSelectionExtent();
    EXPECT_EQ(s.CenterX, 49);
    EXPECT_EQ(s.PivotX, -8.5);
    EXPECT_EQ(s.PivotY, -11);
    c->ClearSelection();
    s.Entries.push_back(entry(0, 2, 3, 100, 100, 110, 120));
    c->RecalcSelectionExtent();
    EXPECT_EQ(s.PivotX, 105);
    EXPECT_EQ(s.PivotY, 110);
}

TEST(Selection, CommonKind)
{
    auto c = view();
    c->Project().Layers.resize(2);
    c->Project().Layers[0].MapType = mtTextLayer;
    c->Project().Layers[1].MapType = mtShapeLayer;
    struct Case {
        const char *name;
        std::vector<std::pair<int, Byte>> entries;   // layer, kind
        Byte expected;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"one text", {{0, okText}}, okText},
        {"texts", {{0, okText}, {0, okText}}, okText},
        {"text then symbol", {{0, okText}, {0, okSymbol}}, 0},
        {"symbol, text, symbol", {{0, okSymbol}, {0, okText}, {0, okSymbol}}, 0},
        {"first in a shape layer", {{1, okText}, {0, okText}}, 0},
        // Only the first entry's layer is looked at.
        {"later in a shape layer", {{0, okLine}, {1, okLine}}, okLine},
        {"invalid layer", {{5, okText}}, 0},
        {"negative layer", {{-1, okText}}, 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        c->ClearSelection();
        for (auto [layer, kind] : k.entries)
            c->Selection().Entries.push_back(entry(layer, 0, kind, 1, 1, 2, 2));
        EXPECT_EQ(c->CommonSelectionKind(), k.expected);
    }
}

TEST(Selection, HandleUnderTheMouse)
{
    auto c = view();
    EXPECT_EQ(c->HitSelectionHandle(px(950), py(990)), 0) << "nothing selected";

    selectBox(*c);
    struct Case {
        const char *name;
        int frame;
        int x, y;
        int expected;
    };
    const Case cases[] = {
        // Resize frame: ±100 units (4 pixels) around each handle point.
        {"1", 0, px(950), py(990), 1},
        {"2", 0, px(950), py(1015), 2},
        {"3", 0, px(950), py(1040), 3},
        {"4", 0, px(1000), py(1040), 4},
        {"5", 0, px(1050), py(1040), 5},
        {"6", 0, px(1050), py(1015), 6},
        {"7", 0, px(1050), py(990), 7},
        {"8", 0, px(1000), py(990), 8},
        {"9", 0, px(1000), py(1015), 9},
        {"5 at 100 units", 0, px(1050) + 4, py(1040) - 4, 5},
        {"5 at 125 units", 0, px(1050) + 5, py(1040), 0},
        {"inside, no handle", 0, px(970), py(1000), 0},
        // Rotate frame: corners are 450-unit squares inside the frame.
        {"r1 100 inside", 1, px(950) + 4, py(990) - 4, 1},
        {"r1 100 outside", 1, px(950) - 4, py(990) + 4, 0},
        {"r1 at 450", 1, px(950) + 18, py(990) - 18, 1},
        {"r1 beyond 450", 1, px(950) + 19, py(990), 0},
        {"r7 inside", 1, px(1050) - 4, py(990) - 4, 7},
        {"r7 outside", 1, px(1050) + 4, py(990), 0},
        {"r5 inside", 1, px(1050) - 4, py(1040) + 4, 5},
        {"r5 outside", 1, px(1050), py(1040) - 4, 0},
        {"r3 inside", 1, px(950) + 4, py(1040) + 4, 3},
        {"r3 outside", 1, px(950) - 4, py(1040), 0},
        // Sides and the pivot: ±210 units.
        {"r2 at 200", 1, px(950) - 8, py(1015), 2},
        {"r2 at 225", 1, px(950) - 9, py(1015), 0},
        {"r4", 1, px(1000), py(1040) - 8, 4},
        {"r6", 1, px(1050) + 8, py(1015), 6},
        {"r8", 1, px(1000), py(990) + 8, 8},
        {"r9 at the pivot", 1, px(1000), py(1015), 9},
        // No handles in other frame modes.
        {"mode 2", 2, px(950), py(990), 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        c->Selection().FrameMode = static_cast<Byte>(k.frame);
        EXPECT_EQ(c->HitSelectionHandle(k.x, k.y), k.expected);
    }

    // The rotate frame's handle 9 is the pivot, wherever it was moved.
    c->Selection().FrameMode = 1;
    c->Selection().PivotX = 960;
    c->Selection().PivotY = 1030;
    EXPECT_EQ(c->HitSelectionHandle(px(960), py(1030)), 9);
    EXPECT_EQ(c->HitSelectionHandle(px(1000), py(1015)), 0);

    // A tiny selection: the centre, tested last, wins over the sides.
    selectBox(*c, 1000, 1000, 1001, 1001);
    c->Selection().FrameMode = 0;
    EXPECT_EQ(c->HitSelectionHandle(px(1000.5), py(1000.5)), 9);
    EXPECT_EQ(c->HitSelectionHandle(px(1000), py(1000)), 9);
}

TEST(Selection, ResizeAndMoveByHandles)
{
    auto c = view();
    selectBox(*c);
    // Each handle dragged by (+10, +5) map units (40, -20 pixels): the side or
    // corner opposite stays, the dragged one follows. The corners of the box
    // after the drag, lower left and upper right.
    struct Case {
        int handle;
        double x0, y0, x1, y1;
    };
    const Case cases[] = {
        {1, 960, 995, 1050, 1040},  {2, 960, 990, 1050, 1040},  {3, 960, 990, 1050, 1045},
        {4, 950, 990, 1050, 1045},  {5, 950, 990, 1060, 1045},  {6, 950, 990, 1060, 1040},
        {7, 950, 995, 1060, 1040},  {8, 950, 995, 1050, 1040},  {9, 960, 995, 1060, 1045},
        {0, 950, 990, 1050, 1040},  {10, 950, 990, 1050, 1040},
    };
    const int pressX = px(1000), pressY = py(1000);
    const int x = pressX + 40, y = pressY - 20;
    for (const Case &k : cases) {
        SCOPED_TRACE(k.handle);
        const TMapPoint a = c->TransformDraggedPoints(pressX, pressY, 950, 990, x, y, k.handle, false, false, 0);
        const TMapPoint b = c->TransformDraggedPoints(pressX, pressY, 1050, 1040, x, y, k.handle, false, false, 0);
        EXPECT_DOUBLE_EQ(a.X, k.x0);
        EXPECT_DOUBLE_EQ(a.Y, k.y0);
        EXPECT_DOUBLE_EQ(b.X, k.x1);
        EXPECT_DOUBLE_EQ(b.Y, k.y1);
    }
    // Handle 5 of the 100 × 50 box makes it 110 × 55; a point inside scales
    // about the lower left corner.
    const TMapPoint m = c->TransformDraggedPoints(pressX, pressY, 1000, 1015, x, y, 5, false, false, 0);
    EXPECT_DOUBLE_EQ(m.X, 1005);
    EXPECT_DOUBLE_EQ(m.Y, 1017.5);
    // Handle 1 shrinks from the opposite corner.
    const TMapPoint s = c->TransformDraggedPoints(pressX, pressY, 1000, 1015, x, y, 1, false, false, 0);
    EXPECT_DOUBLE_EQ(s.X, 1005);
    EXPECT_DOUBLE_EQ(s.Y, 1017.5);

    // Map results are rounded to three decimals.
    const TMapPoint r = c->TransformDraggedPoints(pressX, pressY, 1000.12345, 1000.98765, pressX + 1, pressY, 9,
                                                  false, false, 0);
    EXPECT_DOUBLE_EQ(r.X, 1000.373);
    EXPECT_DOUBLE_EQ(r.Y, 1000.988);
    // Picture points in and out.
    const QPoint in = c->MapToLogical(1050, 1040);
    const TMapPoint p = c->TransformDraggedPoints(pressX, pressY, in.x(), in.y(), x, y, 5, true, true, 0);
    const QPoint out = c->MapToLogical(1060, 1045);
    EXPECT_EQ(p.X, out.x());
    EXPECT_EQ(p.Y, out.y());
    // Another frame mode leaves the point.
    const TMapPoint n = c->TransformDraggedPoints(pressX, pressY, 1000.5, 1000.5, x, y, 9, false, false, 2);
    EXPECT_DOUBLE_EQ(n.X, 1000.5);
    EXPECT_DOUBLE_EQ(n.Y, 1000.5);
}

TEST(Selection, ResizeAlongAnAxisWithoutSize)
{
    // A vertical line: no width to scale by, so x stays; y still scales.
    auto c = view();
    selectBox(*c, 1000, 990, 1000, 1040);
    const int pressX = px(1000), pressY = py(1040);
    for (int handle : {1, 2, 3, 5, 6, 7}) {
        SCOPED_TRACE(handle);
        const TMapPoint p = c->TransformDraggedPoints(pressX, pressY, 1000, 1040, pressX + 40, pressY - 20, handle,
                                                      false, false, 0);
        EXPECT_DOUBLE_EQ(p.X, 1000);
        EXPECT_TRUE(std::isfinite(p.Y));
    }
    const TMapPoint top =
        c->TransformDraggedPoints(pressX, pressY, 1000, 1040, pressX + 40, pressY - 20, 5, false, false, 0);
    EXPECT_DOUBLE_EQ(top.Y, 1045);
    // A single point: nothing to scale at all.
    selectBox(*c, 1000, 1000, 1000, 1000);
    const TMapPoint q = c->TransformDraggedPoints(pressX, pressY, 1000, 1000, pressX + 40, pressY - 20, 5, false,
                                                  false, 0);
    EXPECT_DOUBLE_EQ(q.X, 1000);
    EXPECT_DOUBLE_EQ(q.Y, 1000);
}

TEST(Selection, RotateFrame)
{
    auto c = view();
    selectBox(*c, 990, 990, 1010, 1010);
    c->Selection().FrameMode = 1;
    ASSERT_EQ(c->Selection().PivotX, 1000);
    ASSERT_EQ(c->Selection().PivotY, 1000);
    // A drag from east of the pivot to north of it: a quarter turn
    // counter-clockwise.
    const int pressX = px(1010), pressY = py(1000), x = px(1000), y = py(1010);
    for (int handle : {1, 2, 5, 8}) {
        SCOPED_TRACE(handle);
        const TMapPoint p = c->TransformDraggedPoints(pressX, pressY, 1001, 1000, x, y, handle, false, false, 1);
        EXPECT_DOUBLE_EQ(p.X, 1000);
        EXPECT_DOUBLE_EQ(p.Y, 1001);
    }
    // Rounded to three decimals: (1000 + cos 45°, ...) turned by 45°.
    const TMapPoint h = c->TransformDraggedPoints(pressX, pressY, 1001, 1000, px(1005), py(1005), 3, false, false, 1);
    EXPECT_DOUBLE_EQ(h.X, 1000.707);
    EXPECT_DOUBLE_EQ(h.Y, 1000.707);
    // The pivot handle moves the points; no handle leaves them.
    const TMapPoint m = c->TransformDraggedPoints(pressX, pressY, 1001, 1000, x, y, 9, false, false, 1);
    EXPECT_DOUBLE_EQ(m.X, 991);
    EXPECT_DOUBLE_EQ(m.Y, 1010);
    const TMapPoint n = c->TransformDraggedPoints(pressX, pressY, 1001, 1000, x, y, 0, false, false, 1);
    EXPECT_DOUBLE_EQ(n.X, 1001);
    EXPECT_DOUBLE_EQ(n.Y, 1000);
    // Points turn about the pivot, not the centre.
    c->Selection().PivotX = 1010;
    c->Selection().PivotY = 1000;
    const TMapPoint q = c->TransformDraggedPoints(px(1020), py(1000), 1011, 1000, px(1010), py(1010), 5, false,
                                                  false, 1);
    EXPECT_DOUBLE_EQ(q.X, 1010);
    EXPECT_DOUBLE_EQ(q.Y, 1001);
}

TEST(Selection, DragRotationOfTexts)
{
    auto c = view();
    selectBox(*c, 990, 990, 1010, 1010);
    const int pressX = px(1010), pressY = py(1000), x = px(1000), y = py(1010);
    // Corners take the turn (counter-clockwise positive) off the start
    // angle. Directions along an axis are nudged by the direction routine, so
    // a quarter turn between axes comes out a hundredth of a degree short.
    for (int handle : {1, 3, 5, 7}) {
        SCOPED_TRACE(handle);
        EXPECT_NEAR(c->DragRotationAngle(pressX, pressY, 1000, 1000, x, y, handle, false, 30), -60, 0.02);
    }
    EXPECT_NEAR(c->DragRotationAngle(px(1005), py(1005), 1000, 1000, px(995), py(1005), 3, false, 0), -90, 1e-9);
    // The pivot as a picture point gives the same turn.
    const QPoint pivot = c->MapToLogical(1000, 1000);
    EXPECT_NEAR(c->DragRotationAngle(px(1005), py(1005), pivot.x(), pivot.y(), px(995), py(1005), 5, true, 0), -90,
                1e-9);
    // A clockwise drag.
    EXPECT_NEAR(c->DragRotationAngle(px(995), py(1005), 1000, 1000, px(1005), py(1005), 7, false, 0), 90, 1e-9);
    // Sides and the pivot handle do not turn texts: they keep their rotation
    // (they used to lose it, falling back to 0).
    for (int handle : {0, 2, 4, 6, 8, 9}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(c->DragRotationAngle(pressX, pressY, 1000, 1000, x, y, handle, false, 30), 30);
    }
}

TEST(Selection, RotatePoint)
{
    struct Case {
        const char *name;
        double pn, pe, ph, qn, qe, qh, sn, se, sh, angle;
        double n, e, h;   // h: the result's third value (7 when untouched)
    };
    const Case cases[] = {
        {"quarter turn", 0, 0, 0, 1, 0, 0, 0, 0, 0, 90, 0, 1, 7},
        {"half turn about a pivot", 10, 20, 0, 11, 21, 0, 0, 0, 0, 180, 9, 19, 7},
        {"second axis to first", 0, 0, 0, 0, 2, 0, 0, 0, 0, 90, -2, 0, 7},
        {"third quadrant", 0, 0, 0, -1, -1, 0, 0, 0, 0, 90, 1, -1, 7},
        {"negative angle", 0, 0, 0, 0, 1, 0, 0, 0, 0, -90, 1, 0, 7},
        {"point on the pivot", 5, 5, 1, 5, 5, 3, 0, 0, 0, 45, 5, 5, 3},
        {"point on a new pivot", 5, 5, 1, 5, 5, 3, 8, 9, 4, 45, 8, 9, 6},
        // A new pivot carries the point: (1, 0) from (0, 0) becomes (11, 10)
        // from (10, 10), then turns.
        {"new pivot", 0, 0, 0, 1, 0, 0, 10, 10, 0, 90, 10, 11, 7},
        {"new pivot, one component", 0, 0, 0, 1, 0, 0, 10, 0, 0, 90, 10, 1, 7},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        TMapPoint r{0, 0, 7};
        MapControlCore::RotatePoint(r, k.pn, k.pe, k.ph, k.qn, k.qe, k.qh, k.sn, k.se, k.sh, k.angle);
        EXPECT_NEAR(r.X, k.n, 1e-12);
        EXPECT_NEAR(r.Y, k.e, 1e-12);
        EXPECT_EQ(r.Z, k.h);
    }
}
