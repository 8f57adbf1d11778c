// The view of the map control: scale and denominator, the conversions
// between map and picture, measuring the picture, the extent of the visible
// layers, fitting the view and the ring of the last views.

#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace maptest;

namespace {

std::unique_ptr<MapControlCore> viewAt(double scale, double cx, double cy, double w = 20000, double h = 10000)
{
    auto c = std::make_unique<MapControlCore>();
    c->SetScale(scale);
    c->SetCentreX(cx);
    c->SetCentreY(cy);
    c->SetPictureWidth(w);
    c->SetPictureHeight(h);
    return c;
}

TMapLayer layer(bool visible, double x0, double y0, double x1, double y1)
{
    TMapLayer l;
    l.Visible = visible;
    l.MtMinX = x0;
    l.MtMinY = y0;
    l.MtMaxX = x1;
    l.MtMaxY = y1;
    return l;
}

} // namespace

TEST(MapView, ScaleAndDenominator)
{
    struct Case {
        double in;
        double expected;
    };
    const Case toDenominator[] = {
        {200, 500}, {500, 200}, {1e-70, 0}, {1e-63, 0}, {2e-63, 2147483647}, {1e-10, 2147483647}, {-5, 0}, {0, 0},
    };
    for (const Case &c : toDenominator) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(MapControlCore::ScaleToDenominator(c.in), c.expected);
    }
    const Case toScale[] = {
        {500, 200}, {200, 500}, {1, 100000}, {1e-10, 2147483647}, {-5, 0}, {0, 0},
    };
    for (const Case &c : toScale) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(MapControlCore::DenominatorToScale(c.in), c.expected);
    }
}

TEST(MapView, MapToLogicalAndBack)
{
    const auto owner = viewAt(200, 1000, 1000);
    const MapControlCore &c = *owner;
    EXPECT_EQ(c.MapToLogical(1000, 1000), QPoint(10000, -5000));
    EXPECT_EQ(c.MapToLogical(1010, 1000), QPoint(12000, -5000));
    EXPECT_EQ(c.MapToLogical(990, 1005), QPoint(8000, -4000));
    TMapPoint p;
    c.LogicalToMap(QPointF(0, 0), p);
    EXPECT_EQ(p, (TMapPoint{950, 1025, 0}));
    // The middle of the picture is the centre of the view.
    c.LogicalToMap(QPointF(10000, -5000), p);
    EXPECT_EQ(p, (TMapPoint{1000, 1000, 0}));

    // Halves go to the even neighbour: at scale 0.5 one map unit is half a unit.
    const auto half = viewAt(0.5, 0, 0);
    EXPECT_EQ(half->MapToLogical(1, 0).x(), 10000);    // 10000.5
    EXPECT_EQ(half->MapToLogical(3, 0).x(), 10002);    // 10001.5
    EXPECT_EQ(half->MapToLogical(0, -1).y(), -5000);   // -5000.5
    EXPECT_EQ(half->MapToLogical(0, -3).y(), -5002);   // -5001.5
    // Worked in extended precision: -1985 × 0.1 + 10000 is 9801.49999999999999893
    // there, while doubles make a half of it (which would go to 9802).
    EXPECT_EQ(viewAt(0.1, 0, 0)->MapToLogical(-1985, 0).x(), 9801);
    // With no scale every point goes to the middle.
    EXPECT_EQ(viewAt(0, 1000, 1000)->MapToLogical(5e6, -7e6), QPoint(10000, -5000));
}

TEST(MapView, LogicalToMapAtTinyAndZeroScales)
{
    struct Case {
        double scale;
        TMapPoint expected;
    };
    // Scale × 10000 rounds to 0 (halves to even) below 0.00005 and at it.
    const Case cases[] = {
        {0.00004, {1000, 1000, 0}},
        {0.00005, {1000, 1000, 0}},
        {0.00015, {(0 - 10000) / 0.00015 + 1000, 5000 / 0.00015 + 1000, 0}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.scale);
        const auto c = viewAt(k.scale, 1000, 1000);
        TMapPoint p{7, 8, 9};
        c->LogicalToMap(QPointF(0, 0), p);
        EXPECT_DOUBLE_EQ(p.X, k.expected.X);
        EXPECT_DOUBLE_EQ(p.Y, k.expected.Y);
        EXPECT_EQ(p.Z, 0);
    }
    // A scale of 0 writes nothing.
    TMapPoint p{7, 8, 9};
    viewAt(0, 1000, 1000)->LogicalToMap(QPointF(0, 0), p);
    EXPECT_EQ(p, (TMapPoint{7, 8, 9}));
}

// At 1:1 a vertex 30 km from the view is 3e9 picture units away: beyond 32
// bits. It must land outside the picture on its own side, along its own
// direction, never wrapped into the view.
TEST(MapView, FarPointsStayOnTheirSideAndDirection)
{
    const auto owner = viewAt(MapControlCore::DenominatorToScale(1), 0.5, 0.5);
    const MapControlCore &c = *owner;
    const QPoint middle = c.MapToLogical(0.5, 0.5);
    ASSERT_EQ(middle, QPoint(10000, -5000));
    struct Case {
        double x, y;
    };
    const Case cases[] = {{30000.5, 0.5}, {-30000, 0.5}, {0.5, 25000}, {40000, -20000}, {-1e12, 3e11}, {7e15, 7e15}};
    for (const Case &k : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(k.x).arg(k.y).toStdString());
        const QPoint p = c.MapToLogical(k.x, k.y);
        const double dx = p.x() - middle.x(), dy = p.y() - middle.y();
        const double wx = k.x - 0.5, wy = k.y - 0.5;
        // On the far side of the picture, in range of the platform's 27 bits.
        EXPECT_GT(std::max(std::abs(dx), std::abs(dy)), 1e8);
        EXPECT_LE(std::max(std::abs(dx), std::abs(dy)), 134217728.0 + 1);
        // The same direction from the middle (within a thousandth of a radian).
        EXPECT_NEAR(std::atan2(dy, dx), std::atan2(wy, wx), 1e-3);
    }
    // A line from the view's middle towards a far point still runs where the
    // true line runs across the picture: within a pixel of it at the edge.
    const QPoint far = c.MapToLogical(40000.5, 20000.5);
    const double yAtEdge = -5000 + (far.y() + 5000) * (20000.0 - 10000) / (far.x() - 10000);
    EXPECT_NEAR(yAtEdge, -5000 + 0.5 * 10000, 25);
    // Not-a-number goes to the middle, infinity to the edge of the range.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(c.MapToLogical(nan, nan), middle);
    EXPECT_EQ(c.MapToLogical(inf, 0.5), QPoint(10000 + 134217728, -5000));
    EXPECT_EQ(c.MapToLogical(0.5, -inf), QPoint(10000, -5000 - 134217728));
}

TEST(MapView, ResetPictureMeasuresTheControl)
{
    {
        platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
        MapControlCore c;
        c.SetClientSize(800, 400);
        c.ResetPicture();
        EXPECT_EQ(c.View().PictureWidth, 20000);
        EXPECT_EQ(c.View().PictureHeight, 10000);
        EXPECT_EQ(c.View().UnitsPerPixelX, 25);
        EXPECT_EQ(c.View().UnitsPerPixelY, 25);
    }
    {
        // 20.1 units a pixel: 5 pixels are 100.5 units, rounded to 100.
        platform::ScopedService<ScreenMetrics> pin(DeviceMetrics{1000, 800, 201, 200, 96, 96});
        MapControlCore c;
        c.SetClientSize(5, 8);
        c.ResetPicture();
        EXPECT_EQ(c.View().PictureWidth, 100);
        EXPECT_EQ(c.View().UnitsPerPixelX, 20);
        EXPECT_EQ(c.View().PictureHeight, 200);
        EXPECT_EQ(c.View().UnitsPerPixelY, 25);
    }
    {
        // A control of no size yet has the screen's pixel size, not a division by 0.
        platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
        MapControlCore c;
        c.ResetPicture();
        EXPECT_EQ(c.View().PictureWidth, 0);
        EXPECT_EQ(c.View().UnitsPerPixelX, 25);
        EXPECT_EQ(c.View().UnitsPerPixelY, 25);
    }
}

TEST(MapView, ResetPictureSetsTheDefaultViewOnlyWhenThereIsNone)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    struct Case {
        double scale, cx, cy;
        double wantScale, wantX, wantY;
    };
    const Case cases[] = {
        {0, 0, 0, 200, 1000, 1000},      // no view: 1:500 at (1000, 1000)
        {5, 0, 0, 5, 0, 0},              // centre (0, 0) with a scale is a view
        {0, 7, 0, 0, 7, 0},              // a centre without a scale too
        {0, 0, -3, 0, 0, -3},
    };
    for (const Case &k : cases) {
        MapControlCore c;
        c.SetClientSize(800, 400);
        c.SetScale(k.scale);
        c.SetCentreX(k.cx);
        c.SetCentreY(k.cy);
        c.ResetPicture();
        EXPECT_EQ(c.View().Scale, k.wantScale);
        EXPECT_EQ(c.View().CenterX, k.wantX);
        EXPECT_EQ(c.View().CenterY, k.wantY);
    }
}

TEST(MapView, VisibleExtentTakesZeroAsUnset)
{
    MapControlCore c;
    c.Project().Layers = {layer(true, 0, 3, 20, 30), layer(false, -100, -100, 500, 500), layer(true, 5, 1, 10, 40)};
    c.Project().MtMinX = 77; // recomputed from scratch
    c.CalcVisibleExtent();
    EXPECT_EQ(c.Project().MtMinX, 5);   // the first layer's 0 counts as unset
    EXPECT_EQ(c.Project().MtMinY, 1);
    EXPECT_EQ(c.Project().MtMaxX, 20);
    EXPECT_EQ(c.Project().MtMaxY, 40);
    EXPECT_EQ(c.Project().CenterX, 12.5);
    EXPECT_EQ(c.Project().CenterY, 20.5);

    // No visible layer: all zero.
    c.Project().Layers = {layer(false, 1, 2, 3, 4)};
    c.CalcVisibleExtent();
    EXPECT_EQ(c.Project().MtMinX, 0);
    EXPECT_EQ(c.Project().MtMaxY, 0);
    EXPECT_EQ(c.Project().CenterX, 0);
}

// A new, empty layer (extent all 0) after a layer of real coordinates must
// not pull the extent out to the origin.
TEST(MapView, EmptyLayerDoesNotPullTheExtentToTheOrigin)
{
    MapControlCore c;
    c.Project().Layers = {layer(true, 6500100, 5400200, 6500300, 5400500), layer(true, 0, 0, 0, 0)};
    c.CalcVisibleExtent();
    EXPECT_EQ(c.Project().MtMinX, 6500100);
    EXPECT_EQ(c.Project().MtMinY, 5400200);
    EXPECT_EQ(c.Project().MtMaxX, 6500300);
    EXPECT_EQ(c.Project().MtMaxY, 5400500);
}

TEST(MapView, ZoomAllFitsTheVisibleLayers)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    struct Case {
        const char *name;
        double x0, y0, x1, y1;
        double scaleBefore;
        double wantScale, wantX, wantY;
    };
    const Case cases[] = {
        // 200 × 50 in a picture of 20000 × 10000 with margin 1.1: the width decides.
        {"normal", 1000, 500, 1200, 550, 200, 20000 / (200 * 1.1), 1100, 525},
        {"tall", 1000, 500, 1010, 700, 200, 10000 / (200 * 1.1), 1005, 600},
        // One horizontal line: its length is fitted, not 1:1.
        {"zero height", 1000, 500, 1200, 500, 200, 20000 / (200 * 1.1), 1100, 500},
        {"zero width", 1000, 500, 1000, 600, 200, 10000 / (100 * 1.1), 1000, 550},
        // A single point keeps the scale, or takes 1:1 when there was none.
        {"point", 1000, 500, 1000, 500, 200, 200, 1000, 500},
        {"point, no scale", 1000, 500, 1000, 500, 0, 100000, 1000, 500},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        MapControlCore c;
        c.SetClientSize(800, 400);
        c.SetScale(k.scaleBefore);
        c.Project().Layers = {layer(true, k.x0, k.y0, k.x1, k.y1)};
        c.ZoomAll();
        EXPECT_DOUBLE_EQ(c.View().Scale, k.wantScale);
        EXPECT_DOUBLE_EQ(c.View().CenterX, k.wantX);
        EXPECT_DOUBLE_EQ(c.View().CenterY, k.wantY);
        EXPECT_EQ(c.View().PictureWidth, 20000);
    }
    // No visible layer and no view: the default view of ResetPicture.
    MapControlCore c;
    c.SetClientSize(800, 400);
    c.Project().Layers = {layer(false, 1000, 500, 1200, 550)};
    c.ZoomAll();
    EXPECT_EQ(c.View().Scale, 200);
    EXPECT_EQ(c.View().CenterX, 1000);
    EXPECT_EQ(c.View().CenterY, 1000);
}

TEST(MapView, ShowSelectedObject)
{
    auto owner = viewAt(200, 1000, 1000);
    MapControlCore &c = *owner;
    TSelObject a, b;
    a.XMin = 10; a.YMin = 20; a.XMax = 30; a.YMax = 60;
    b.XMin = 500; b.YMin = 500; b.XMax = 500; b.YMax = 500;
    c.Selection().Entries = {a, b};
    c.ShowSelectedObject(0);
    EXPECT_EQ(c.View().CenterX, 20);
    EXPECT_EQ(c.View().CenterY, 40);
    EXPECT_EQ(c.View().Scale, 200);
    // Indices outside the selection are ignored.
    for (int bad : {2, -1, 1000}) {
        c.ShowSelectedObject(bad);
        EXPECT_EQ(c.View().CenterX, 20);
    }
    // Fitting: 20 × 40 with margin 1.1 in 20000 × 10000; the height decides.
    c.ShowSelectedObject(0, true);
    EXPECT_DOUBLE_EQ(c.View().Scale, 10000 / (40 * 1.1));
    // A point keeps the scale even when fitting.
    c.ShowSelectedObject(1, true);
    EXPECT_EQ(c.View().CenterX, 500);
    EXPECT_DOUBLE_EQ(c.View().Scale, 10000 / (40 * 1.1));
    // An empty selection changes nothing.
    c.Selection().Entries.clear();
    c.ShowSelectedObject(0);
    EXPECT_EQ(c.View().CenterX, 500);
}

namespace {

void setView(MapControlCore &c, double scale, double x, double y)
{
    c.SetScale(scale);
    c.SetCentreX(x);
    c.SetCentreY(y);
}

TZoomEntry viewOf(const MapControlCore &c)
{
    return TZoomEntry{c.View().Scale, c.View().CenterX, c.View().CenterY};
}

} // namespace

TEST(MapView, HistoryRingWrapsAndSkipsEqualViews)
{
    MapControlCore c;
    for (int i = 1; i <= 21; ++i) {
        setView(c, 100 + i, 1000, 2000);
        c.ZoomHistory(0);
    }
    EXPECT_EQ(c.ZoomRing().Pos, 1);
    EXPECT_EQ(c.ZoomRing().Entries[0], (TZoomEntry{121, 1000, 2000}));
    EXPECT_EQ(c.ZoomRing().Entries[1], (TZoomEntry{102, 1000, 2000}));
    EXPECT_EQ(c.ZoomRing().Entries[19], (TZoomEntry{120, 1000, 2000}));
    // Storing the view the position already holds adds nothing.
    c.ZoomHistory(0);
    EXPECT_EQ(c.ZoomRing().Pos, 1);
    // Prior from entry 1 goes round to entry 20.
    c.ZoomHistory(1);
    EXPECT_EQ(c.ZoomRing().Pos, 20);
    EXPECT_EQ(viewOf(c), (TZoomEntry{120, 1000, 2000}));
    c.ZoomHistory(2);
    EXPECT_EQ(c.ZoomRing().Pos, 1);
    EXPECT_EQ(viewOf(c), (TZoomEntry{121, 1000, 2000}));
}

TEST(MapView, HistoryPriorAndNext)
{
    MapControlCore c;
    // Nothing stored: prior and next change nothing.
    setView(c, 5, 6, 7);
    c.ZoomHistory(1);
    c.ZoomHistory(2);
    EXPECT_EQ(c.ZoomRing().Pos, 0);
    EXPECT_EQ(viewOf(c), (TZoomEntry{5, 6, 7}));

    const TZoomEntry v1{200, 10, 10}, v2{400, 20, 20}, v3{800, 30, 30};
    for (const TZoomEntry &v : {v1, v2, v3}) {
        setView(c, v.Scale, v.CenterX, v.CenterY);
        c.ZoomHistory(0);
    }
    c.ZoomHistory(1);
    EXPECT_EQ(viewOf(c), v2);
    c.ZoomHistory(1);
    EXPECT_EQ(viewOf(c), v1);
    EXPECT_EQ(c.ZoomRing().Pos, 1);
    // Prior from entry 1 with entry 20 empty: nothing changes.
    c.ZoomHistory(1);
    EXPECT_EQ(c.ZoomRing().Pos, 1);
    EXPECT_EQ(viewOf(c), v1);
    // A store after going back leaves the later entries: "next" reaches the
    // stale view stored before.
    setView(c, 1600, 40, 40);
    c.ZoomHistory(0);
    EXPECT_EQ(c.ZoomRing().Pos, 2);
    c.ZoomHistory(2);
    EXPECT_EQ(c.ZoomRing().Pos, 3);
    EXPECT_EQ(viewOf(c), v3);
}

TEST(MapView, HistoryNeverRestoresAViewCentredOnXZero)
{
    MapControlCore c;
    const TZoomEntry v1{200, 10, 10}, v0{200, 0, 10}, v2{400, 20, 20};
    for (const TZoomEntry &v : {v1, v0, v2}) {
        setView(c, v.Scale, v.CenterX, v.CenterY);
        c.ZoomHistory(0);
    }
    EXPECT_EQ(c.ZoomRing().Pos, 3);
    EXPECT_EQ(c.ZoomRing().Entries[1], v0);   // stored
    c.ZoomHistory(1);                   // but not restored
    EXPECT_EQ(c.ZoomRing().Pos, 3);
    EXPECT_EQ(viewOf(c), v2);
}
