// The style renderers: style dispatch and colour rules through recorded
// calls, the fill tiling, line walk and point symbols through pixel probes on
// offscreen pictures and through their placement plans, and the crossing and
// rounding services.

#include "MapTestSupport.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Environment.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordingCanvas.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QSet>

#include <functional>
#include <set>

using namespace maptest;
using namespace mapengine;

namespace {

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 128, 0);
constexpr Color kWhite = rgb(255, 255, 255);

TVykStroke makeStroke(int kind, std::vector<TVykPoint> points, Color pen = 0, int brushStyle = 1,
                      Color brush = kWhite, int penWidth = 20, int penStyle = 0)
{
    TVykStroke s;
    s.Kind = static_cast<std::uint8_t>(kind);
    s.Points = std::move(points);
    s.PenColor = static_cast<std::int32_t>(pen);
    s.BrushStyle = static_cast<std::uint8_t>(brushStyle);
    s.BrushColor = static_cast<std::int32_t>(brush);
    s.PenWidth = penWidth;
    s.PenStyle = static_cast<std::uint8_t>(penStyle);
    updateStrokeBounds(s);
    return s;
}

TVykSymbol makePattern(int kind, int width, int height, std::vector<TVykStroke> strokes)
{
    TVykSymbol p;
    p.Name = QStringLiteral("test");
    p.Kind = static_cast<std::uint8_t>(kind);
    p.Width = width;
    p.Height = height;
    p.Strokes = std::move(strokes);
    p.StrokeCount = static_cast<std::int32_t>(p.Strokes.size());
    return p;
}

// A library of `count` empty patterns with the given ones at their places.
TVykSymbols library(int count, std::vector<std::pair<int, TVykSymbol>> at)
{
    TVykSymbols lib;
    lib.Signature = QStringLiteral("VYKSYMBOL6");
    lib.Items.resize(static_cast<size_t>(count));
    for (auto &[n, p] : at)
        lib.Items[static_cast<size_t>(n)] = p;
    lib.Count = count;
    return lib;
}

// A red square of 200 × 200 units in the middle of a 500 × 500 cell.
TVykSymbol centredSquare()
{
    return makePattern(vkFill, 500, 500,
                       {makeStroke(vsPolygon, {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}}, kRed, 0, kRed)});
}

// A line pattern 100 long: a stroke from -40 to 40 along it and a small
// ellipse at its middle.
TVykSymbol walkPattern()
{
    return makePattern(vkLine, 100, 40,
                       {makeStroke(vsPolyline, {{-40, 0}, {40, 0}}), makeStroke(vsEllipse, {{-10, -10}, {10, 10}})});
}

QStringList drawingCalls(const RecordingCanvas &c)
{
    QStringList out;
    for (const MetaRecord &r : c.calls())
        if (r.type == EMR_POLYGON || r.type == EMR_POLYLINE || r.type == EMR_ELLIPSE || r.type == EMR_RECTANGLE)
            out << describe(r);
    return out;
}

// Sizes of the 4-connected areas of a colour.
std::vector<int> areas(const QImage &img, Color colour)
{
    std::vector<int> out;
    std::vector<char> seen(static_cast<size_t>(img.width() * img.height()), 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (seen[static_cast<size_t>(y * img.width() + x)] || at(img, x, y) != colour)
                continue;
            int n = 0;
            std::vector<QPoint> stack{QPoint(x, y)};
            seen[static_cast<size_t>(y * img.width() + x)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++n;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    if (q.x() < 0 || q.y() < 0 || q.x() >= img.width() || q.y() >= img.height())
                        continue;
                    char &s = seen[static_cast<size_t>(q.y() * img.width() + q.x())];
                    if (!s && at(img, q.x(), q.y()) == colour) {
                        s = 1;
                        stack.push_back(q);
                    }
                }
            }
            out.push_back(n);
        }
    return out;
}

// A picture of w × h pixels at 25 units of 0.01 mm a pixel, drawn on in the
// 0.01 mm mapping.
template <typename Fn>
QImage draw(int w, int h, Fn fn, bool himetric = true)
{
    QImage img = whiteImage(w, h);
    {
        PainterCanvas c(img, pinnedMetrics());
        if (himetric)
            c.setMapMode(MM_HIMETRIC);
        fn(c);
    }
    return img;
}

} // namespace

// ---- dispatch, state and colours -------------------------------------------------

TEST(StyleRenderers, StyleDispatch)
{
    StyleServices s;
    s.FFillStyles = library(11, {{8, centredSquare()},
                                 {9, makePattern(vkSymbol, 200, 200, {makeStroke(vsEllipse, {{-50, -50}, {50, 50}})})},
                                 {10, makePattern(vkLine, 200, 200, {makeStroke(vsPolyline, {{-50, 0}, {50, 0}})})}});
    s.FLineStyles = library(35, {{2, walkPattern()}, {34, walkPattern()}});
    s.FPointStyles = library(2, {{1, makePattern(vkSymbol, 200, 200, {makeStroke(vsEllipse, {{-50, -50}, {50, 50}})})}});
    s.SetFrameSize(800, 600);
    const std::vector<QPoint> square{{1000, -1000}, {5000, -1000}, {5000, -5000}, {1000, -5000}, {1000, -1000}};
    const std::vector<QPoint> line{{0, -100}, {300, -100}};

    struct Case {
        const char *name;
        std::function<void(RecordingCanvas &)> call;
        QStringList expected;       // the drawing calls, or
        int polygons = -1;          // only their counts
        int ellipses = -1;
    };
    auto fill = [&](int style) {
        return [&, style](RecordingCanvas &c) { s.DrawFillPattern(c, square, style, 0x00FF00, 800, 400, 1, 1, 0, 25, 25, false); };
    };
    auto lineStyle = [&](int style) {
        return [&, style](RecordingCanvas &c) { s.DrawLineStyle(c, line, style, 0xFF, 15, 1, 1, 0, 20000, 10000, true); };
    };
    auto point = [&](int style) {
        return [&, style](RecordingCanvas &c) { s.DrawPointStyle(c, {QPoint(500, -500), QPoint(900, -900)}, style, 0, 0, 0, 1, 1, 0); };
    };
    const QString squareText = QStringLiteral("Polygon (1000,-1000) (5000,-1000) (5000,-5000) (1000,-5000) (1000,-1000)");
    const std::vector<Case> cases = {
        {"fill 0: nothing", fill(0), {}},
        {"fill -3: nothing", fill(-3), {}},
        {"fill 1: solid", fill(1), {squareText}},
        {"fill 7: vertical hatch", fill(7), {squareText}},
        {"fill 8: tiled pattern", fill(8), {}, 49, 0},
        {"fill 9: a symbol stamped at the vertices only", fill(9), {}, 0, 5},
        {"fill 10: a line pattern fills nothing", fill(10), {}},
        {"fill 11: beyond the library", fill(11), {}},
        {"line 0: nothing", lineStyle(0), {}},
        {"line 1: solid only", lineStyle(1), {QStringLiteral("Polyline (0,-100) (300,-100)")}},
        {"line 33: nothing", lineStyle(33), {}},
        {"line 34: solid and pattern 34", lineStyle(34), {}, 0, 3},
        {"line 35: beyond the library", lineStyle(35), {}},
        {"point 0: nothing", point(0), {}},
        {"point 1: stamped at each point", point(1), {}, 0, 2},
        {"point 2: beyond the library", point(2), {}},
    };
    for (const Case &k : cases) {
        RecordingCanvas c(pinnedMetrics());
        c.setMapMode(MM_HIMETRIC);
        const Pen pen{PS_DOT, 3, rgb(1, 2, 3)};
        const Brush brush{BS_HATCHED, rgb(4, 5, 6), HS_CROSS};
        c.setPen(pen);
        c.setBrush(brush);
        c.clear();
        k.call(c);
        const QStringList calls = drawingCalls(c);
        if (k.polygons < 0) {
            EXPECT_EQ(calls, k.expected) << k.name;
        } else {
            EXPECT_EQ(c.callsOf(EMR_POLYGON).size(), static_cast<size_t>(k.polygons)) << k.name;
            EXPECT_EQ(c.callsOf(EMR_ELLIPSE).size(), static_cast<size_t>(k.ellipses)) << k.name;
        }
        // The canvas comes back as it was.
        EXPECT_EQ(c.pen(), pen) << k.name;
        EXPECT_EQ(c.brush(), brush) << k.name;
        EXPECT_EQ(c.mapMode(), MM_HIMETRIC) << k.name;
    }
}

// The built-in fills: the renderer's numbering, the colour argument, no outline.
TEST(StyleRenderers, BuiltInFills)
{
    StyleServices s;
    struct Case {
        int style;
        Brush brush;
    };
    const Color c = rgb(10, 20, 30);
    const std::vector<Case> cases = {
        {1, {BS_SOLID, c, HS_HORIZONTAL}},     {2, {BS_HATCHED, c, HS_BDIAGONAL}},
        {3, {BS_HATCHED, c, HS_FDIAGONAL}},    {4, {BS_HATCHED, c, HS_CROSS}},
        {5, {BS_HATCHED, c, HS_DIAGCROSS}},    {6, {BS_HATCHED, c, HS_HORIZONTAL}},
        {7, {BS_HATCHED, c, HS_VERTICAL}},
    };
    for (const Case &k : cases) {
        RecordingCanvas rc(pinnedMetrics());
        s.DrawFillPattern(rc, {{0, 0}, {10, 0}, {10, 10}}, k.style, static_cast<int>(c), 100, 100, 1, 1, 0, 25, 25,
                          false);
        const std::vector<MetaRecord> polys = rc.callsOf(EMR_POLYGON);
        ASSERT_EQ(polys.size(), 1u) << k.style;
        // What the canvas held while the polygon was drawn.
        const std::vector<MetaRecord> &calls = rc.calls();
        Pen pen;
        Brush brush;
        for (const MetaRecord &r : calls) {
            if (r.type == EMR_POLYGON)
                break;
            if (r.type == EMR_CREATEPEN)
                pen = r.pen;
            if (r.type == EMR_CREATEBRUSHINDIRECT)
                brush = r.brush;
        }
        EXPECT_EQ(pen.style, PS_NULL) << k.style;
        EXPECT_EQ(brush, k.brush) << k.style;
    }
}

TEST(StyleRenderers, LineColourRules)
{
    StyleServices s;
    s.FLineStyles = library(3, {{2, makePattern(vkLine, 200, 100,
                                                {makeStroke(vsPolygon, {{-50, -20}, {0, 20}, {50, -20}}, kRed, 0, kWhite, 60),
                                                 makeStroke(vsPolygon, {{-50, 20}, {0, -20}, {50, 20}}, kRed, 0, kGreen, 60)})}});
    struct Case {
        int colour;
        Color white;
        Color green;
    };
    for (const Case &k : {Case{0, kWhite, 0}, Case{-1, kWhite, kWhite}, Case{0x0000FF, kRed, kRed}}) {
        RecordingCanvas rc(pinnedMetrics());
        rc.setMapMode(MM_HIMETRIC);
        s.DrawLineStyle(rc, {{0, -500}, {200, -500}}, 2, k.colour, 7, 1, 1, 0, 20000, 10000, true);
        std::vector<Pen> pens;
        for (const MetaRecord &r : rc.calls()) {
            if (r.type == EMR_CREATEPEN)
                pens.push_back(r.pen);
        }
        ASSERT_EQ(rc.callsOf(EMR_POLYGON).size(), 2u) << k.colour;
        // The caller's pen exactly: its colour and width (no floor); the
        // second pen is the canvas's own, put back.
        ASSERT_EQ(pens.size(), 2u);
        EXPECT_EQ(pens[0], (Pen{PS_SOLID, 7, static_cast<Color>(k.colour) & 0xFFFFFF})) << k.colour;
        // The brush of each polygon.
        std::vector<Color> used;
        Color current = rc.brush().color;
        for (const MetaRecord &r : rc.calls()) {
            if (r.type == EMR_CREATEBRUSHINDIRECT)
                current = r.brush.color;
            if (r.type == EMR_POLYGON)
                used.push_back(current);
        }
        EXPECT_EQ(used, (std::vector<Color>{k.white, k.green})) << k.colour;
    }
}

TEST(StyleRenderers, PointAndFillColourRules)
{
    StyleServices s;
    const std::vector<TVykStroke> strokes = {makeStroke(vsPolygon, {{-50, -50}, {50, -50}, {0, 50}}, kGreen, 0, kWhite, 5),
                                             makeStroke(vsPolygon, {{-20, -20}, {20, -20}, {0, 20}}, kGreen, 0, kGreen, 35, 2)};
    s.FPointStyles = library(2, {{1, makePattern(vkSymbol, 200, 200, strokes)}});
    s.FFillStyles = library(9, {{8, makePattern(vkFill, 200, 200, strokes)}});
    s.SetFrameSize(400, 400);
    auto pensAndBrushes = [](const RecordingCanvas &rc) {
        std::vector<std::pair<Pen, Color>> out;
        Pen pen = rc.pen();
        Color brush = rc.brush().color;
        for (const MetaRecord &r : rc.calls()) {
            if (r.type == EMR_CREATEPEN)
                pen = r.pen;
            if (r.type == EMR_CREATEBRUSHINDIRECT)
                brush = r.brush.color;
            if (r.type == EMR_POLYGON)
                out.emplace_back(pen, brush);
        }
        return out;
    };
    using PB = std::vector<std::pair<Pen, Color>>;
    {
        // Points: a caller's colour paints the pens and the brushes that are
        // not white; pens are at least 0.2 mm wide and solid.
        RecordingCanvas rc(pinnedMetrics());
        rc.setMapMode(MM_HIMETRIC);
        s.DrawPointStyle(rc, {QPoint(1000, -1000)}, 1, 0x0000FF, 0, 0, 1, 1, 0);
        EXPECT_EQ(pensAndBrushes(rc), (PB{{Pen{PS_SOLID, 20, kRed}, kWhite}, {Pen{PS_SOLID, 35, kRed}, kRed}}));
        rc.clear();
        s.DrawPointStyle(rc, {QPoint(1000, -1000)}, 1, 0, 0, 0, 1, 1, 0);
        EXPECT_EQ(pensAndBrushes(rc), (PB{{Pen{PS_SOLID, 20, kGreen}, kWhite}, {Pen{PS_SOLID, 35, kGreen}, kGreen}}));
    }
    {
        // Fills: the strokes' own colours whatever the colour argument, and
        // the strokes' pen styles when tiling.
        RecordingCanvas rc(pinnedMetrics());
        rc.setMapMode(MM_HIMETRIC);
        s.DrawFillPattern(rc, {{0, 0}, {2000, 0}, {2000, -2000}, {0, -2000}}, 8, 0x0000FF, 100, 100, 1, 1, 0, 25, 25,
                          false);
        const PB got = pensAndBrushes(rc);
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got[0], (std::pair{Pen{PS_SOLID, 20, kGreen}, kWhite}));
        EXPECT_EQ(got[1], (std::pair{Pen{PS_DOT, 35, kGreen}, kGreen}));
    }
}

// ---- fill tiling ---------------------------------------------------------------

// A square polygon tiled with a centred square: whole strokes inside, none
// cut at the edge, a blank band where a stroke's box would cross it.
TEST(StyleRenderers, FillTilingKeepsWholeStrokesInside)
{
    StyleServices s;
    s.FFillStyles = library(9, {{8, centredSquare()}});
    s.SetFrameSize(800, 600);
    // 40..320 × 40..240 pixels.
    const std::vector<QPoint> poly{{1000, -1000}, {8000, -1000}, {8000, -6000}, {1000, -6000}, {1000, -1000}};
    const QImage img = draw(400, 300, [&](Canvas &c) {
        s.DrawFillPattern(c, poly, 8, 0, 400, 300, 1, 1, 0, 25, 25, false);
    });
    keepArtefact(img, QStringLiteral("fill_tiling"));
    // Tiles sit on the box's corner: the strokes of the first and last
    // columns and rows would cross the edge and are left out whole.
    const std::vector<int> squares = areas(img, kRed);
    EXPECT_EQ(squares.size(), 13u * 9u);
    const std::set<int> sizes(squares.begin(), squares.end());
    EXPECT_EQ(sizes.size(), 1u) << "every stroke drawn whole";
    const QRect ink = colourBox(img, kRed);
    EXPECT_EQ(ink, QRect(QPoint(56, 56), QPoint(304, 224))) << ink.x() << "," << ink.y() << " " << ink.right() << ","
                                                            << ink.bottom();
    // Probes: a tile's centre red, the band along the edge blank.
    EXPECT_EQ(at(img, 60, 60), kRed);
    EXPECT_EQ(at(img, 300, 220), kRed);
    for (int x = 40; x <= 320; ++x) {
        EXPECT_EQ(at(img, x, 45), kWhite) << x;
        EXPECT_EQ(at(img, x, 235), kWhite) << x;
    }
}

TEST(StyleRenderers, FillTilingFollowsAConcaveOutline)
{
    StyleServices s;
    s.FFillStyles = library(9, {{8, centredSquare()}});
    s.SetFrameSize(800, 600);
    // An L: the upper right quarter of the box is not the polygon's.
    const std::vector<QPoint> ell{{1000, -1000}, {4000, -1000}, {4000, -4000}, {7000, -4000},
                                  {7000, -7000}, {1000, -7000}, {1000, -1000}};
    const QImage img = draw(320, 320, [&](Canvas &c) { s.DrawFillPattern(c, ell, 8, 0, 320, 320, 1, 1, 0, 25, 25, false); });
    keepArtefact(img, QStringLiteral("fill_tiling_concave"));
    EXPECT_EQ(inkBox(img, QRect(QPoint(162, 42), QPoint(278, 158))), QRect()) << "the notch stays blank";
    EXPECT_EQ(at(img, 100, 100), kRed);   // tile (2, 2) in the upper left arm
    EXPECT_EQ(at(img, 240, 240), kRed);   // tile (10, 10) in the lower right arm
    const std::vector<int> squares = areas(img, kRed);
    const std::set<int> sizes(squares.begin(), squares.end());
    EXPECT_EQ(sizes.size(), 1u);
}

// The tiles visited are those of the box that reach into the picture, and a
// read of the mask outside its bitmap counts as outside the polygon.
TEST(StyleRenderers, FillTilesStayInThePictureAndTheMask)
{
    StyleServices s;
    s.SetFrameSize(100, 100);
    const TVykSymbol pattern = centredSquare();
    // A polygon far larger than the picture (10000 × 7500 units).
    const std::vector<QPoint> huge{{-10000000, 10000000}, {10000000, 10000000}, {10000000, -10000000},
                                   {-10000000, -10000000}};
    const std::vector<PlacedStroke> plan = s.PlanFillTiles(huge, pattern, 400, 300, 1, 1, 25, 25);
    ASSERT_FALSE(plan.empty());
    EXPECT_LE(plan.size(), 23u * 18u);
    for (const PlacedStroke &p : plan)
        for (const QPoint &q : p.points) {
            EXPECT_GE(q.x(), -700);
            EXPECT_LE(q.x(), 10700);
            EXPECT_LE(q.y(), 700);
            EXPECT_GE(q.y(), -8200);
        }

    // The box's right edge maps to the column just past the mask's last: a
    // stroke whose right corner lies on it is left out, like one beyond the
    // edge; one whose corner maps to the last column is drawn.
    auto edgeStroke = [](int right) {
        return makePattern(vkFill, 1000, 1000, {makeStroke(vsPolyline, {{right - 200, 0}, {right, 0}})});
    };
    const std::vector<QPoint> box{{0, 0}, {1000, 0}, {1000, -1000}, {0, -1000}};
    auto columns = [&](const TVykSymbol &p) {
        QSet<int> out;
        for (const PlacedStroke &placed : s.PlanFillTiles(box, p, 400, 300, 1, 1, 25, 25))
            out.insert(placed.column);
        return out;
    };
    // In tile 0 the corner lies at x = right - 1 from the box's left edge.
    EXPECT_EQ(columns(edgeStroke(1001)), QSet<int>{});
    EXPECT_EQ(columns(edgeStroke(991)), QSet<int>{0});
    // Cells below a pixel would make more tiles than the picture has pixels
    // (here 25 million): nothing is tiled.
    const TVykSymbol speck = makePattern(vkFill, 2, 2, {makeStroke(vsPolyline, {{0, 0}, {1, 0}})});
    EXPECT_TRUE(s.PlanFillTiles(huge, speck, 400, 300, 1, 1, 25, 25).empty());
    // A polygon without area has no inside.
    EXPECT_TRUE(s.PlanFillTiles({{0, 0}, {1000, 0}, {500, 0}}, pattern, 400, 300, 1, 1, 25, 25).empty());
}

TEST(StyleRenderers, FillSymbolIsStampedAtTheVertices)
{
    StyleServices s;
    s.FFillStyles = library(
        10, {{9, makePattern(vkSymbol, 400, 400, {makeStroke(vsEllipse, {{-100, -100}, {100, 100}}, kRed, 0, kRed)})}});
    s.SetFrameSize(800, 600);
    const std::vector<QPoint> tri{{2000, -2000}, {8000, -2000}, {5000, -7000}};
    const QImage img = draw(400, 320, [&](Canvas &c) { s.DrawFillPattern(c, tri, 9, 0, 400, 320, 1, 1, 0, 25, 25, false); });
    keepArtefact(img, QStringLiteral("fill_symbol"));
    for (const QPoint &p : tri)
        EXPECT_EQ(at(img, p.x() / 25, -p.y() / 25), kRed) << p.x() << "," << p.y();
    EXPECT_EQ(inkBox(img, QRect(150, 100, 100, 100)), QRect()) << "the inside is not filled";
}

// On a sample image in pixels the points are taken as pixels and the canvas
// keeps its mapping.
TEST(StyleRenderers, FillOnAPixelCanvas)
{
    StyleServices s;
    s.FFillStyles = library(9, {{8, centredSquare()}});
    s.SetFrameSize(200, 200);
    int modeAfter = 0;
    const QImage img = draw(
        120, 100,
        [&](Canvas &c) {
            s.DrawFillPattern(c, {{0, 0}, {0, 120}, {140, 120}, {140, 0}, {0, 0}}, 8, 0, 100, 120, 1, 1, 0, 25, 25, false);
            modeAfter = c.mapMode();
        },
        false);
    keepArtefact(img, QStringLiteral("fill_sample"));
    EXPECT_EQ(modeAfter, MM_TEXT);
    EXPECT_EQ(at(img, 20, 20), kRed);   // tile (1, 1): 500 units = 20 pixels from the corner
    EXPECT_EQ(at(img, 0, 0), kWhite);
}

// ---- line walk ----------------------------------------------------------------

TEST(StyleRenderers, LineWalkCarriesThePatternAcrossAVertex)
{
    StyleServices s;
    // 230 along x, then 300 up: the copy at 200 straddles the vertex.
    const std::vector<PlacedStroke> plan = s.PlanLineCopies({{0, 0}, {230, 0}, {230, 300}}, walkPattern(), 1, 1);
    QStringList got;
    for (const PlacedStroke &p : plan) {
        QStringList pts;
        for (const QPoint &q : p.points)
            pts << QStringLiteral("(%1,%2)").arg(q.x()).arg(q.y());
        got << QStringLiteral("%1@%2 s%3 %4").arg(p.segment).arg(p.position).arg(p.stroke).arg(pts.join(QLatin1Char(' ')));
    }
    const QStringList expected = {
        // Segment 1: whole copies at 0 and 100 (stroke and ellipse).
        "1@0 s0 (10,0) (90,0)", "1@0 s1 (40,-10) (60,10)",
        "1@100 s0 (110,0) (190,0)", "1@100 s1 (140,-10) (160,10)",
        // The copy at 200 is cut at the vertex; its ellipse lies beyond it.
        "1@200 s0 (210,0) (230,0)",
        // Segment 2 begins with the rest of that copy, turned up, and its
        // ellipse whole about its centre.
        "2@0 s0 (230,0) (230,60)", "2@0 s1 (220,10) (240,30)",
        // Then whole copies from 70 (= 100 - 30) on.
        "2@70 s0 (230,80) (230,160)", "2@70 s1 (220,110) (240,130)",
        "2@170 s0 (230,180) (230,260)", "2@170 s1 (220,210) (240,230)",
        // The last copy is cut at the line's end.
        "2@270 s0 (230,280) (230,300)",
    };
    EXPECT_EQ(got, expected);
}

TEST(StyleRenderers, LineWalkEdgeCases)
{
    StyleServices s;
    // A segment shorter than half a pattern gets one copy, cut at its end.
    std::vector<PlacedStroke> plan = s.PlanLineCopies({{0, 0}, {30, 0}}, walkPattern(), 1, 1);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].points, (std::vector<QPoint>{{10, 0}, {30, 0}}));
    // A step below 1 draws nothing.
    EXPECT_TRUE(s.PlanLineCopies({{0, 0}, {3000, 0}}, walkPattern(), 0.004, 1).empty());
    RecordingCanvas rc(pinnedMetrics());
    rc.setMapMode(MM_HIMETRIC);
    s.FLineStyles = library(3, {{2, walkPattern()}});
    s.DrawLineStyle(rc, {{0, 0}, {3000, 0}}, 2, 0, 10, 0.004, 1, 0, 20000, 10000, true);
    EXPECT_TRUE(drawingCalls(rc).isEmpty());
    // A rectangle stroke goes round as a closed polygon, turned with the line.
    const TVykSymbol rect = makePattern(vkLine, 100, 40, {makeStroke(vsRectangle, {{-20, -10}, {20, 10}})});
    plan = s.PlanLineCopies({{0, 0}, {0, 100}}, rect, 1, 1);
    ASSERT_EQ(plan.size(), 1u);   // the copy at 100 lies past the end
    EXPECT_EQ(plan[0].shape, StrokeShape::Polygon);
    EXPECT_EQ(plan[0].points, (std::vector<QPoint>{{10, 30}, {10, 70}, {-10, 70}, {-10, 30}, {10, 30}}));
}

// Copies that cannot reach the picture are passed over; what the picture
// shows, and where the pattern stands on the next segment, stay the same.
TEST(StyleRenderers, LineCopiesOffThePictureAreSkipped)
{
    StyleServices s;
    const TVykSymbol pattern = walkPattern();
    // 20000 × 10000 units; a long line enters it, turns inside it and leaves.
    const std::vector<QPoint> line{{-400000, -5000}, {7777, -5000}, {8000, -300000}};
    const std::vector<PlacedStroke> all = s.PlanLineCopies(line, pattern, 1.3, 1.3);
    const std::vector<PlacedStroke> kept = s.PlanLineCopies(line, pattern, 1.3, 1.3, 20000, 10000, 30);
    EXPECT_LT(kept.size(), all.size() / 20);
    auto touches = [](const PlacedStroke &p) {
        for (const QPoint &q : p.points)
            if (q.x() >= -100 && q.x() <= 20100 && q.y() <= 100 && q.y() >= -10100)
                return true;
        return false;
    };
    std::vector<PlacedStroke> seen;
    for (const PlacedStroke &p : all)
        if (touches(p))
            seen.push_back(p);
    std::vector<PlacedStroke> keptSeen;
    for (const PlacedStroke &p : kept)
        if (touches(p))
            keptSeen.push_back(p);
    ASSERT_EQ(keptSeen.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(keptSeen[i].points, seen[i].points) << i;
        EXPECT_EQ(keptSeen[i].position, seen[i].position) << i;
    }

    // The same through the canvas at deep zoom: a segment of millions of
    // copies, drawn as the picture shows it.
    s.FLineStyles = library(3, {{2, pattern}});
    const std::vector<QPoint> deep{{-2000000000, -4000}, {2000000000, -4100}};
    RecordingCanvas rc(pinnedMetrics());
    rc.setMapMode(MM_HIMETRIC);
    s.DrawLineStyle(rc, deep, 2, 0, 20, 1, 1, 0, 20000, 10000, true);
    const size_t drawn = rc.callsOf(EMR_POLYLINE).size();
    EXPECT_GE(drawn, 200u);
    EXPECT_LE(drawn, 204u);
}

TEST(StyleRenderers, LinePatternOnAPicture)
{
    StyleServices s;
    // A dash and a filled disc; the disc's white brush stays white on a black line.
    s.FLineStyles = library(3, {{2, makePattern(vkLine, 400, 100,
                                                {makeStroke(vsPolyline, {{-200, 0}, {0, 0}}),
                                                 makeStroke(vsEllipse, {{60, -40}, {140, 40}}, 0, 0, kGreen)})}});
    // Right 130 pixels, then down 100.
    const std::vector<QPoint> line{{1250, -1250}, {4500, -1250}, {4500, -3750}};
    const QImage img = draw(200, 200, [&](Canvas &c) { s.DrawLineStyle(c, line, 2, 0x0000FF, 25, 1, 1, 0, 5000, 5000, true); });
    keepArtefact(img, QStringLiteral("line_pattern"));
    // Copies of 16 pixels from 50: a dash over the first 8, a disc of the
    // line's colour about 12.
    EXPECT_EQ(at(img, 54, 50), kRed);
    EXPECT_EQ(at(img, 59, 50), kWhite);
    EXPECT_EQ(at(img, 62, 50), kRed);
    EXPECT_EQ(at(img, 65, 50), kWhite);
    EXPECT_EQ(at(img, 70, 50), kRed);
    // The copy from 178 runs into the vertex at 180: its dash is cut there
    // and goes on downward for the rest of its 8 pixels; its disc lies on the
    // second leg, 10 pixels below the vertex.
    EXPECT_EQ(at(img, 179, 50), kRed);
    EXPECT_EQ(at(img, 180, 55), kRed);
    EXPECT_EQ(at(img, 180, 57), kWhite);
    EXPECT_EQ(at(img, 180, 60), kRed);
    EXPECT_EQ(inkBox(img, QRect(QPoint(183, 40), QPoint(199, 70))), QRect()) << "nothing past the vertex";
}

// A style sample in pixels: the points are taken as pixels, the pattern laid
// in 0.01 mm, and the canvas keeps its mapping.
TEST(StyleRenderers, LineSampleOnAPixelCanvas)
{
    StyleServices s;
    s.FLineStyles = library(3, {{2, makePattern(vkLine, 400, 100, {makeStroke(vsPolyline, {{-200, 0}, {0, 0}})})}});
    int modeAfter = 0;
    const QImage img = draw(
        100, 20,
        [&](Canvas &c) {
            s.DrawLineStyle(c, {{5, 10}, {95, 10}}, 2, 0x0000FF, 1, 1.02, 1.02, 0, 20000, 10000, true);
            modeAfter = c.mapMode();
        },
        false);
    EXPECT_EQ(modeAfter, MM_TEXT);
    // Copies of 408 units (16.3 pixels), each with a dash over its first half.
    EXPECT_EQ(at(img, 8, 10), kRed);
    EXPECT_EQ(at(img, 17, 10), kWhite);
    EXPECT_EQ(at(img, 25, 10), kRed);
    const QRect ink = inkBox(img);
    EXPECT_EQ(ink.top(), 10);
    EXPECT_EQ(ink.bottom(), 10);
    EXPECT_GE(ink.left(), 5);
    EXPECT_LE(ink.right(), 95);
}

// ---- point symbols ----------------------------------------------------------------

TEST(StyleRenderers, PointSymbolsStampedAtThePoints)
{
    StyleServices s;
    // A filled square (shifted 0.2 mm right and down as point symbols draw
    // their boxes) and a cross of lines through the centre (not shifted).
    s.FPointStyles = library(2, {{1, makePattern(vkSymbol, 400, 400,
                                                 {makeStroke(vsRectangle, {{-100, -100}, {100, 100}}, kRed, 0, kRed),
                                                  makeStroke(vsPolyline, {{-180, 0}, {180, 0}}, kGreen)})}});
    const QImage img = draw(400, 300, [&](Canvas &c) {
        s.DrawPointStyle(c, {QPoint(5000, -5000), QPoint(2500, -2500)}, 1, 0, 0, 0, 1, 1, 0);
        s.DrawPointStyle(c, {QPoint(7500, -2500)}, 1, 0, 0, 0, 2, 2, 0);
    });
    keepArtefact(img, QStringLiteral("point_symbols"));
    // At (200, 200): the square spans 196.8..204.8 pixels, the line 192.8..207.2.
    const QRect square = colourBox(img, kRed);
    EXPECT_EQ(at(img, 200, 200), kGreen);
    EXPECT_EQ(at(img, 198, 202), kRed);
    EXPECT_EQ(at(img, 197, 197), kRed);
    EXPECT_EQ(at(img, 196, 200), kGreen);
    EXPECT_EQ(at(img, 196, 196), kWhite);
    // At (100, 100) the same; at (300, 100) twice the size.
    EXPECT_EQ(at(img, 98, 102), kRed);
    EXPECT_EQ(at(img, 295, 104), kRed);
    EXPECT_EQ(at(img, 288, 100), kGreen);
    EXPECT_EQ(at(img, 283, 100), kWhite);
    EXPECT_EQ(square.left(), 97);
    EXPECT_EQ(square.right(), 309);
}

// ---- the style pickers' cells ----------------------------------------------------

TEST(StyleRenderers, PickerPicturePlacesStrokesAsThePickersDrawThem)
{
    // A 400 × 200 pattern: a polyline of pen width 0, a rectangle and an
    // ellipse of two corners each, an ellipse of three points, a dashed
    // polygon.
    const TVykSymbol pattern = makePattern(
        vkFill, 400, 200,
        {makeStroke(vsPolyline, {{-200, 0}, {200, 0}}, kRed, 1, kWhite, 0),
         makeStroke(vsRectangle, {{50, 50}, {-50, -50}}, kGreen, 0, kGreen, 30),
         makeStroke(vsEllipse, {{-10, -10}, {10, 10}}),
         makeStroke(vsEllipse, {{-10, -10}, {10, 10}, {0, 20}}),
         makeStroke(vsPolygon, {{0, 0}, {100, 0}, {100, 100}}, kRed, 1, kWhite, 20, 1)});
    const Metafile picture = PatternPicture(pinnedMetrics(), pattern);
    EXPECT_EQ(picture.mmWidth(), 400);
    EXPECT_EQ(picture.mmHeight(), 200);
    RecordingCanvas rec(pinnedMetrics());
    for (const auto &r : picture.records())
        rec.apply(r);
    // Points at (x + 200, y - 100); boxes grown by 12 on every side; the
    // three-point ellipse draws nothing.
    EXPECT_EQ(drawingCalls(rec),
              (QStringList{QStringLiteral("Polyline (0,-100) (400,-100)"),
                           QStringLiteral("Rectangle (138,-38)-(262,-162)"),
                           QStringLiteral("Ellipse (178,-78)-(222,-122)"),
                           QStringLiteral("Polygon (200,-100) (300,-100) (300,0)")}));
    // Pens: width 0 drawn 10 wide, the others as given with their style.
    QStringList pens;
    for (const MetaRecord &r : rec.callsOf(EMR_CREATEPEN))
        pens << describe(r);
    ASSERT_EQ(pens.size(), 4);
    EXPECT_TRUE(pens[0].contains(QStringLiteral("width=10 "))) << pens[0].toStdString();
    EXPECT_TRUE(pens[1].contains(QStringLiteral("width=30 "))) << pens[1].toStdString();
    EXPECT_TRUE(pens[3].startsWith(QStringLiteral("Pen style=1 "))) << pens[3].toStdString();
}

TEST(StyleRenderers, PickerCellKeepsTheAspectAndTheCentre)
{
    // A wide red pattern (400 × 200, filled whole, no outline) in an 80 × 80
    // cell: 80 × 40 pixels in the middle; a tall one (100 × 400) 20 × 80.
    const TVykSymbol wide = makePattern(
        vkFill, 400, 200,
        {makeStroke(vsPolygon, {{-200, -100}, {200, -100}, {200, 100}, {-200, 100}}, kRed, 0, kRed, 20, PS_NULL)});
    const TVykSymbol tall = makePattern(
        vkSymbol, 100, 400,
        {makeStroke(vsPolygon, {{-50, -200}, {50, -200}, {50, 200}, {-50, 200}}, kGreen, 0, kGreen, 20, PS_NULL)});
    const QImage img = draw(
        160, 80,
        [&](Canvas &c) {
            DrawPatternCell(c, wide, Rect{0, 0, 80, 80});
            DrawPatternCell(c, tall, Rect{80, 0, 160, 80});
            // Without size nothing is drawn.
            DrawPatternCell(c, makePattern(vkFill, 0, 100, wide.Strokes), Rect{0, 0, 80, 80});
        },
        false);
    keepArtefact(img, QStringLiteral("picker_cells"));
    const QRect red = colourBox(img, kRed);
    EXPECT_NEAR(red.left(), 0, 1);
    EXPECT_NEAR(red.right(), 79, 1);
    EXPECT_NEAR(red.top(), 20, 1);
    EXPECT_NEAR(red.bottom(), 59, 1);
    EXPECT_EQ(at(img, 40, 40), kRed);
    EXPECT_EQ(at(img, 40, 10), kWhite);
    const QRect green = colourBox(img, kGreen);
    EXPECT_NEAR(green.left(), 110, 1);
    EXPECT_NEAR(green.right(), 129, 1);
    EXPECT_NEAR(green.top(), 0, 1);
    EXPECT_NEAR(green.bottom(), 79, 1);
}

// ---- crossing and rounding -------------------------------------------------------

TEST(StyleRenderers, IntersectLines)
{
    struct Case {
        const char *name;
        int mode;
        double x1, y1, z1, x2, y2, z2, x3, y3, x4, y4;
        int result;
        bool stored;
        double x, y, z;
    };
    const std::vector<Case> cases = {
        {"mode 0 rejects the crossing at P2", 0, 0, 0, 0, 10, 0, 0, 10, -5, 10, 5, 0, false, 0, 0, 0},
        {"mode 1 rejects it too", 1, 0, 0, 0, 10, 0, 0, 10, -5, 10, 5, 0, false, 0, 0, 0},
        {"mode 2 takes it", 2, 0, 0, 0, 10, 0, 0, 10, -5, 10, 5, 1, true, 10, 0, 0},
        {"mode 0 off segment 2", 0, 0, 0, 0, 20, 0, 0, 10, 5, 10, 20, 1, true, 10, 0, 0},
        {"mode 1 needs segment 2", 1, 0, 0, 0, 20, 0, 0, 10, 5, 10, 20, 0, false, 0, 0, 0},
        {"mode 2 needs segment 2", 2, 0, 0, 0, 20, 0, 0, 10, 5, 10, 20, 0, false, 0, 0, 0},
        {"mode 3 beyond segment 1: 0, stored", 3, 0, 0, 0, 5, 0, 0, 10, -5, 10, 5, 0, true, 10, 0, 0},
        {"another mode: 0", 4, 0, 0, 0, 20, 0, 0, 10, -5, 10, 5, 0, false, 0, 0, 0},
        {"parallel lines give P1", 3, 3, 4, 0, 13, 14, 0, 0, 5, 10, 15, 1, true, 3, 4, 0},
        {"z along line 1", 2, 0, 0, 10, 10, 0, 20, 4, -5, 4, 5, 1, true, 4, 0, 14},
        {"four decimals", 2, 0, 0, 0, 3, 1, 0, 1, -5, 1, 5, 1, true, 1, 0.3333, 0},
    };
    for (const Case &k : cases) {
        StyleServices s;
        s.FCrossX = -1;
        s.FCrossY = -1;
        s.FCrossValue = -1;
        EXPECT_EQ(s.IntersectLines(k.mode, k.x1, k.y1, k.z1, k.x2, k.y2, k.z2, k.x3, k.y3, 99, k.x4, k.y4, 99),
                  k.result)
            << k.name;
        if (k.stored) {
            EXPECT_DOUBLE_EQ(s.FCrossX, k.x) << k.name;
            EXPECT_DOUBLE_EQ(s.FCrossY, k.y) << k.name;
            EXPECT_DOUBLE_EQ(s.FCrossValue, k.z) << k.name;
        } else {
            EXPECT_EQ(s.FCrossX, -1) << k.name;
        }
    }
}

TEST(StyleRenderers, RoundByKind)
{
    const platform::ScopedService<platform::DecimalSeparator> comma(u',');
    struct Case {
        double value;
        int kind;
        int decimals;
        double number;
        const char *text;
    };
    const std::vector<Case> cases = {
        {1.499, 2, 0, 1.5, "1,50"},
        {-1.499, 2, 0, -1.5, "-1,50"},
        {2, 1, 0, 2, "2,0000"},
        {3.1415926, 9, 0, 3.14159, "3,14159"},
        {0.125, 8, 0, 0.12, "0,12"},          // halves to even
        {0.135, 5, 0, 0.14, "0,14"},
        {7.7777, 0, 1, 7.8, "7,8"},
        {7.25, 0, 0, 7, "7"},
        {5.7, 12, 3, 6, "6"},                 // kinds outside the table: no decimals
        {5.7, -1, 3, 6, "6"},
        {5.5, 0, 0, 5, "5"},                  // the fraction's half goes to even: 0
    };
    for (const Case &k : cases) {
        EXPECT_DOUBLE_EQ(roundByKind(k.value, k.kind, k.decimals), k.number) << k.value << " kind " << k.kind;
        EXPECT_EQ(StyleServices::RoundByKind(k.value, k.kind, true, k.decimals).toString(), QString::fromUtf8(k.text))
            << k.value << " kind " << k.kind;
        EXPECT_DOUBLE_EQ(StyleServices::RoundByKind(k.value, k.kind, false, k.decimals).toDouble(), k.number);
    }
    // Zeros come from a run of 43: no more are appended.
    EXPECT_EQ(roundByKindText(1.25, 0, 60), QStringLiteral("1,25") + QString(43, QLatin1Char('0')));
    const platform::ScopedService<platform::DecimalSeparator> point(u'.');
    EXPECT_EQ(roundByKindText(1.499, 2), QStringLiteral("1.50"));
}

// The libraries the build writes, each pattern drawn on a sheet (kept as a
// picture for a reader to look over): every fill, line and point style that
// is a pattern leaves ink where it is drawn.
TEST(StyleRenderers, ProgramFolderCatalogue)
{
    StyleServices s;
    s.LoadStyleLibraries(testsupport::programFolder());
    s.SetFrameSize(1200, 900);
    const int fills = s.FFillStyles.count(), lines = s.FLineStyles.count(), points = s.FPointStyles.count();
    ASSERT_GT(fills, 8);
    ASSERT_GT(lines, 2);
    ASSERT_GT(points, 1);
    // Cells of 160 × 110 pixels, six to a row: fills, then lines, then points.
    constexpr int kCellW = 160, kCellH = 110, kPerRow = 6;
    const int rowsOf[] = {(fills + kPerRow - 1) / kPerRow, (lines + kPerRow - 1) / kPerRow,
                          (points + kPerRow - 1) / kPerRow};
    const int height = (rowsOf[0] + rowsOf[1] + rowsOf[2]) * kCellH;
    std::vector<QRect> cells[3];
    const QImage sheet = draw(kPerRow * kCellW, height, [&](Canvas &c) {
        int row0 = 0;
        for (int lib = 0; lib < 3; ++lib) {
            const int n = lib == 0 ? fills : lib == 1 ? lines : points;
            for (int k = 0; k < n; ++k) {
                const QRect cell((k % kPerRow) * kCellW, (row0 + k / kPerRow) * kCellH, kCellW, kCellH);
                cells[lib].push_back(cell);
                auto u = [](int px, int py) { return QPoint(px * 25, -py * 25); };
                const int l = cell.left() + 10, t = cell.top() + 10, r = cell.right() - 10, b = cell.bottom() - 10;
                if (lib == 0)
                    s.DrawFillPattern(c, {u(l, t), u(r, t), u(r, b), u(l, b), u(l, t)}, k, 0x808080, kPerRow * kCellW,
                                      height, 1, 1, 0, 25, 25, false);
                else if (lib == 1)
                    s.DrawLineStyle(c, {u(l, b), u(l + 40, t), u(r - 30, t + 20), u(r, b)}, k, 0, 20, 1.4, 1.4, 0,
                                    kPerRow * kCellW * 25, height * 25, true);
                else
                    s.DrawPointStyle(c, {u(cell.center().x(), cell.center().y())}, k, 0, 0, 0, 2, 2, 0);
            }
            row0 += rowsOf[lib];
        }
    });
    keepArtefact(sheet, QStringLiteral("style_catalogue"));
    const int firstPattern[] = {8, 2, 1};
    for (int lib = 0; lib < 3; ++lib)
        for (size_t k = static_cast<size_t>(firstPattern[lib]); k < cells[lib].size(); ++k)
            EXPECT_FALSE(inkBox(sheet, cells[lib][k]).isNull()) << "library " << lib << " style " << k;
}
