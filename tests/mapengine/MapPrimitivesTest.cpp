// The drawing primitives of the map control: what they ask of the canvas
// (recording canvas), the polygon clipper, and what they put on an image.

#include "MapTestSupport.h"

#include "platform/Rounding.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace maptest;

namespace {

// The calls that draw, as text.
QStringList drawn(const RecordingCanvas &c)
{
    QStringList out;
    for (const MetaRecord &r : c.calls())
        switch (r.type) {
        case EMR_POLYGON: case EMR_POLYLINE: case EMR_LINETO: case EMR_ELLIPSE: case EMR_RECTANGLE:
        case EMR_EXTTEXTOUTW:
            out << describe(r);
            break;
        default:
            break;
        }
    return out;
}

// The pen style in force at each drawing call, from the style the canvas had
// when its calls were last cleared.
std::vector<int> penStylesAtDrawing(const RecordingCanvas &c, int type, int initial)
{
    std::vector<int> out;
    int style = initial;
    for (const MetaRecord &r : c.calls()) {
        if (r.type == EMR_CREATEPEN)
            style = r.pen.style;
        else if (r.type == type)
            out.push_back(style);
    }
    return out;
}

struct Fixture {
    platform::ScopedService<ScreenMetrics> pin{pinnedMetrics()};
    std::unique_ptr<MapControlCore> map = makeControl();
    RecordingCanvas canvas{pinnedMetrics()};
    Fixture() { canvas.setMapMode(MM_HIMETRIC); }
};

const std::vector<QPoint> kLine = {QPoint(0, 0), QPoint(1000, 0)};

} // namespace

TEST(MapPrimitives, LineEnds)
{
    struct Case {
        const char *name;
        std::vector<QPoint> points;
        double w;
        int start, end;
        QStringList expected;
    };
    const Case cases[] = {
        // 150 × cos 20° and 150 × sin 20°, rounded.
        {"filled 20", kLine, 30, 1, 0, {"Polygon (0,0) (141,51) (141,-51) (0,0)"}},
        {"open 20", kLine, 30, 2, 0, {"Polyline (141,51) (0,0) (141,-51)"}},
        {"filled 30", kLine, 30, 3, 0, {"Polygon (0,0) (130,75) (130,-75) (0,0)"}},
        {"open 30", kLine, 30, 4, 0, {"Polyline (130,75) (0,0) (130,-75)"}},
        {"filled 45", kLine, 30, 5, 0, {"Polygon (0,0) (85,85) (85,-85) (0,0)"}},
        {"open 45", kLine, 30, 6, 0, {"Polyline (85,85) (0,0) (85,-85)"}},
        // The bar across the end: perpendicular to the last segment, 6u long.
        {"bar at the end", kLine, 30, 0, 8, {"Polyline (1000,-90) (1000,90)"}},
        {"reverse", kLine, 30, 9, 0, {"Polyline (-85,-85) (0,0) (-85,85)"}},
        {"dot", kLine, 30, 10, 0, {"Ellipse (-45,-45)-(45,45)"}},
        {"open 20 at the end", kLine, 30, 0, 2, {"Polyline (859,-51) (1000,0) (859,51)"}},
        // The second arrow's tip is 3u along the line; its wings come from the
        // unrounded tip (65.76, 65.76): from (66, 66) they would be (66, 144).
        {"double",
         {QPoint(0, 0), QPoint(1000, 1000)},
         31,
         7,
         0,
         {"Polyline (0,124) (0,0) (124,0)", "Polyline (66,143) (66,66) (143,66)"}},
        // A single point: the line is taken as running along +x.
        {"single point", {QPoint(500, -500)}, 30, 2, 0, {"Polyline (641,-449) (500,-500) (641,-551)"}},
        {"kind 11", kLine, 30, 11, 11, {}},
        {"none", kLine, 30, 0, -3, {}},
        {"both", kLine, 30, 8, 8, {"Polyline (0,90) (0,-90)", "Polyline (1000,-90) (1000,90)"}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Fixture f;
        f.map->DrawLineEnds(f.canvas, k.points, k.w, 1, k.start, k.end);
        EXPECT_EQ(drawn(f.canvas), k.expected);
    }
    // u = w × f: the multiplier scales the same shape.
    Fixture f;
    f.map->DrawLineEnds(f.canvas, kLine, 10, 3, 1, 0);
    EXPECT_EQ(drawn(f.canvas), QStringList{"Polygon (0,0) (141,51) (141,-51) (0,0)"});
    // Nothing to decorate on an empty line.
    f.canvas.clear();
    f.map->DrawLineEnds(f.canvas, {}, 30, 1, 1, 1);
    EXPECT_TRUE(f.canvas.calls().empty());
}

// DrawLineEnds and DrawVertexBoxes leave the pen and brush as they set them.
TEST(MapPrimitives, LineEndsAndVertexBoxesLeaveTheirPenAndBrush)
{
    Fixture f;
    f.canvas.setPen(Pen{PS_DASH, 1, rgb(200, 0, 0)});
    f.canvas.setBrush(Brush{BS_NULL, rgb(0, 200, 0), 0});
    f.map->DrawLineEnds(f.canvas, kLine, 30, 1, 5, 0);
    EXPECT_EQ(f.canvas.pen(), (Pen{PS_SOLID, 1, rgb(200, 0, 0)}));
    EXPECT_EQ(f.canvas.brush().style, BS_SOLID);
    EXPECT_EQ(f.canvas.brush().color, rgb(200, 0, 0));   // filled in the pen's colour

    f.canvas.setPen(Pen{PS_DOT, 1, rgb(200, 0, 0)});
    f.map->DrawVertexBoxes(f.canvas, {QPoint(100, -100)});
    EXPECT_EQ(f.canvas.pen().style, PS_SOLID);
    EXPECT_EQ(f.canvas.brush(), (Brush{BS_SOLID, rgb(0, 0, 255), 0}));
}

TEST(MapPrimitives, VertexBoxesOnlyInsideThePicture)
{
    Fixture f;   // the picture: x 0..20000, y -10000..0
    f.map->DrawVertexBoxes(f.canvas, {QPoint(-1, -10), QPoint(0, 0), QPoint(20000, -10000), QPoint(20001, -5),
                                      QPoint(5, 1), QPoint(700, -10001), QPoint(700, -300)});
    EXPECT_EQ(drawn(f.canvas), (QStringList{"Rectangle (-40,-40)-(40,40)", "Rectangle (19960,-10040)-(20040,-9960)",
                                            "Rectangle (660,-340)-(740,-260)"}));
}

TEST(MapPrimitives, PenStyleOfLineKinds)
{
    struct Case {
        int kind, width, current, expected;
    };
    const Case cases[] = {
        {0, 1, PS_SOLID, PS_NULL},     {1, 25, PS_DOT, PS_SOLID},     {34, 25, PS_DOT, PS_SOLID},
        {5, 1, PS_SOLID, PS_DASH},     {5, 0, PS_SOLID, PS_DASH},     {5, 25, PS_DOT, PS_DOT},
        {2, 1, PS_SOLID, PS_DOT},      {2, 2, PS_DASH, PS_DASH},      {16, 1, PS_SOLID, PS_DASHDOT},
        {18, 1, PS_SOLID, PS_DASHDOTDOT}, {16, 30, PS_SOLID, PS_SOLID}, {7, 1, PS_DASHDOT, PS_DASHDOT},
        {-1, 1, PS_NULL, PS_NULL},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.kind);
        EXPECT_EQ(mapengine::penStyleForLineKind(k.kind, k.width, k.current), k.expected);
    }
}

TEST(MapPrimitives, ClippedPolylineSkipsSegmentsOutsideTheView)
{
    // The view enlarged by 5 pixels: x -125..20125, y -10125..125.
    Fixture f;
    EXPECT_EQ(f.map->ViewClipRect(f.canvas), (TClipRect{-125, -10125, 20125, 125}));
    const std::vector<QPoint> line = {QPoint(100, -100), QPoint(30000, -100), QPoint(40000, -100),
                                      QPoint(40000, 5000), QPoint(100, -20000)};
    f.canvas.setPen(Pen{PS_DOT, 1, rgb(1, 2, 3)});
    f.map->DrawClippedPolyline(f.canvas, line, 1, 1);
    // The second segment lies beyond the right edge, the third above and right.
    EXPECT_EQ(drawn(f.canvas), (QStringList{"LineTo 30000,-100", "LineTo 100,-20000"}));
    EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_DOT), (std::vector<int>{PS_SOLID, PS_SOLID}));
    // Each drawn segment starts where the pen is: moves only where it is not.
    std::vector<QPoint> moves;
    for (const MetaRecord &r : f.canvas.callsOf(EMR_MOVETOEX))
        moves.push_back(r.point);
    EXPECT_EQ(moves, (std::vector<QPoint>{QPoint(100, -100), QPoint(40000, -100), QPoint(40000, 5000)}));
    // The pen comes back as it was.
    EXPECT_EQ(f.canvas.pen(), (Pen{PS_DOT, 1, rgb(1, 2, 3)}));

    // A picture of fixed extent draws every segment.
    f.canvas.clear();
    f.map->SetPictureMode(true);
    f.map->DrawClippedPolyline(f.canvas, line, 1, 1);
    EXPECT_EQ(f.canvas.callsOf(EMR_LINETO).size(), 4u);

    // Kind 0 draws nothing; kind 5 of a wide line keeps the canvas's style.
    f.canvas.clear();
    f.map->DrawClippedPolyline(f.canvas, line, 0, 1);
    EXPECT_TRUE(f.canvas.callsOf(EMR_LINETO).empty());
    f.canvas.clear();
    f.map->DrawClippedPolyline(f.canvas, line, 5, 25);
    EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_DOT), (std::vector<int>(4, PS_DOT)));
    // On a canvas in pixels the view is the control's pixels.
    RecordingCanvas pixels(pinnedMetrics());
    EXPECT_EQ(f.map->ViewClipRect(pixels), (TClipRect{0, 0, 800, 400}));
}

TEST(MapPrimitives, BezierLineThroughItsPoints)
{
    Fixture f;
    const std::vector<QPoint> line = {QPoint(0, 0), QPoint(1000, 0), QPoint(1000, -1000)};
    const Pen pen{PS_DOT, 1, rgb(9, 8, 7)};
    f.canvas.setPen(pen);
    f.map->DrawBezierLine(f.canvas, line, 1, 1);
    // Two segments of 20 short lines each, solid, ending on the vertices.
    const auto lines = f.canvas.callsOf(EMR_LINETO);
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[19].point, QPoint(1000, 0));
    EXPECT_EQ(lines[39].point, QPoint(1000, -1000));
    EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_DOT), std::vector<int>(40, PS_SOLID));
    EXPECT_EQ(f.canvas.pen(), pen);
    // Kind 0 draws nothing; a dashed kind of a wide line keeps the canvas's style.
    f.canvas.clear();
    f.map->DrawBezierLine(f.canvas, line, 0, 1);
    EXPECT_TRUE(f.canvas.callsOf(EMR_LINETO).empty());
    f.map->DrawBezierLine(f.canvas, line, 2, 30);
    EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_DOT), std::vector<int>(40, PS_DOT));
}

TEST(MapPrimitives, FillPolygonFillsWithoutBorderThenOutlines)
{
    const std::vector<QPoint> square = {QPoint(100, -100), QPoint(900, -100), QPoint(900, -900), QPoint(100, -900),
                                        QPoint(100, -100)};
    {
        Fixture f;
        f.canvas.setPen(Pen{PS_SOLID, 10, rgb(0, 0, 255)});
        f.canvas.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        f.map->FillPolygon(f.canvas, square, 1, 10, false);
        const QStringList d = drawn(f.canvas);
        ASSERT_EQ(d.size(), 5);
        EXPECT_EQ(d[0], "Polygon (100,-100) (900,-100) (900,-900) (100,-900) (100,-100)");
        EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_POLYGON, PS_SOLID), (std::vector<int>{PS_NULL}));
        EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_SOLID), (std::vector<int>(4, PS_SOLID)));
        EXPECT_EQ(f.canvas.pen(), (Pen{PS_SOLID, 10, rgb(0, 0, 255)}));
    }
    {
        // A clear brush: the outline only.
        Fixture f;
        f.canvas.setBrush(Brush{BS_NULL, 0, 0});
        f.map->FillPolygon(f.canvas, square, 1, 1, true);
        EXPECT_TRUE(f.canvas.callsOf(EMR_POLYGON).empty());
        EXPECT_EQ(f.canvas.callsOf(EMR_LINETO).size(), 4u);
    }
    {
        // Line kind 5: the fill only.
        Fixture f;
        f.map->FillPolygon(f.canvas, square, 5, 1, false);
        EXPECT_EQ(f.canvas.callsOf(EMR_POLYGON).size(), 1u);
        EXPECT_TRUE(f.canvas.callsOf(EMR_LINETO).empty());
    }
    {
        // A kind without a pen style of its own outlines with the caller's pen.
        Fixture f;
        f.canvas.setPen(Pen{PS_DASHDOT, 1, 0});
        f.map->FillPolygon(f.canvas, square, 7, 1, false);
        EXPECT_EQ(penStylesAtDrawing(f.canvas, EMR_LINETO, PS_SOLID), (std::vector<int>(4, PS_DASHDOT)));
    }
}

TEST(MapPrimitives, FillPolygonForcedClipOfAPolygonAroundTheView)
{
    Fixture f;
    const std::vector<QPoint> around = {QPoint(-1000000, 1000000), QPoint(1000000, 1000000),
                                        QPoint(1000000, -1000000), QPoint(-1000000, -1000000),
                                        QPoint(-1000000, 1000000)};
    f.map->FillPolygon(f.canvas, around, 5, 1, true);
    // Every edge lies outside; the corners of the enlarged view make the fill.
    EXPECT_EQ(drawn(f.canvas), QStringList{"Polygon (-125,125) (20125,125) (20125,125) (20125,-10125) (20125,-10125) "
                                           "(-125,-10125) (-125,-10125) (-125,125)"});
    // Not forced: the polygon as given.
    f.canvas.clear();
    f.map->FillPolygon(f.canvas, around, 5, 1, false);
    EXPECT_EQ(f.canvas.callsOf(EMR_POLYGON).front().points, around);
    // A polygon wholly beside the view fills nothing.
    f.canvas.clear();
    f.map->FillPolygon(f.canvas, {QPoint(30000, -100), QPoint(31000, -100), QPoint(31000, -900), QPoint(30000, -100)},
                       5, 1, true);
    EXPECT_TRUE(f.canvas.callsOf(EMR_POLYGON).empty());
}

TEST(MapPrimitives, PolygonClipperZoneRules)
{
    const TClipRect r{0, 0, 100, 100};   // left, bottom, right, top
    struct Case {
        const char *name;
        std::vector<QPoint> points;
        std::vector<QPoint> expected;
    };
    const Case cases[] = {
        {"inside", {QPoint(10, 10), QPoint(20, 20)}, {QPoint(10, 10), QPoint(20, 20)}},
        // From zone 1 to zone 9 above and right of the rectangle: the diagonal
        // crossing lies in zone 3, so the top-right corner is taken.
        {"1 to 9 above", {QPoint(-50, 300), QPoint(300, -50)}, {QPoint(0, 100), QPoint(100, 100), QPoint(100, 0)}},
        {"1 to 9 below", {QPoint(-300, 101), QPoint(101, -300)}, {QPoint(0, 100), QPoint(0, 0), QPoint(100, 0)}},
        {"3 to 7 below", {QPoint(300, 150), QPoint(-150, -300)}, {QPoint(100, 100), QPoint(100, 0), QPoint(0, 0)}},
        // Across two sides from right to left: the crossing farther from the
        // edge's end comes first.
        {"right to left", {QPoint(150, 50), QPoint(-50, 50)}, {QPoint(100, 50), QPoint(0, 50)}},
        {"left to right", {QPoint(-50, 50), QPoint(150, 50)}, {QPoint(0, 50), QPoint(100, 50)}},
        // In through the top: corners by the end zone are not needed.
        {"in from above", {QPoint(50, 150), QPoint(50, 50)}, {QPoint(50, 100), QPoint(50, 50)}},
        // Out to the left, then round from zone 4 to zone 2: top-left corner.
        {"4 to 2",
         {QPoint(50, 50), QPoint(-50, 50), QPoint(20, 200)},
         {QPoint(50, 50), QPoint(0, 50), QPoint(0, 100)}},
        {"one point", {QPoint(5, 5)}, {}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(mapengine::clipPolygonToRect(k.points, r), k.expected);
    }
    // An edge that only touches the top-left corner gives that corner and
    // nothing beyond it (no point at the origin).
    for (const std::vector<QPoint> &touch : {std::vector<QPoint>{QPoint(-10, 90), QPoint(10, 110)},
                                             std::vector<QPoint>{QPoint(10, 110), QPoint(-10, 90)}}) {
        const std::vector<QPoint> out = mapengine::clipPolygonToRect(touch, r);
        EXPECT_GE(out.size(), 2u);
        for (const QPoint &p : out)
            EXPECT_EQ(p, QPoint(0, 100));
    }
}

TEST(MapPrimitives, ShadowIsMovedFourMapUnitsAndRestoresTheCanvas)
{
    Fixture f;   // 1:500
    const Pen pen{PS_DASH, 1, rgb(10, 20, 30)};
    const Brush brush{BS_HATCHED, rgb(40, 50, 60), HS_CROSS};
    f.canvas.setPen(pen);
    f.canvas.setBrush(brush);
    f.canvas.setRop2(R2_COPYPEN);
    f.map->DrawShadow(f.canvas, {QPoint(100, -100), QPoint(600, -100), QPoint(600, -600), QPoint(100, -100)});
    EXPECT_EQ(drawn(f.canvas), QStringList{"Polygon (900,-900) (1400,-900) (1400,-1400) (900,-900)"});
    // Drawn in merge-pen-with-inverted-screen, grey, without an outline.
    int rop = 0;
    Brush fill;
    for (const MetaRecord &r : f.canvas.calls()) {
        if (r.type == EMR_SETROP2) rop = static_cast<int>(r.value);
        if (r.type == EMR_CREATEBRUSHINDIRECT) fill = r.brush;
        if (r.type == EMR_POLYGON) break;
    }
    EXPECT_EQ(rop, R2_MERGEPENNOT);
    EXPECT_EQ(fill, (Brush{BS_SOLID, rgb(170, 170, 170), HS_HORIZONTAL}));
    EXPECT_EQ(f.canvas.pen(), pen);
    EXPECT_EQ(f.canvas.brush(), brush);
    EXPECT_EQ(f.canvas.rop2(), R2_COPYPEN);
    // At 1:2000 the shift is 200 units.
    f.canvas.clear();
    f.map->SetScale(MapControlCore::DenominatorToScale(2000));
    f.map->DrawShadow(f.canvas, {QPoint(0, 0), QPoint(10, 0), QPoint(0, 0)});
    EXPECT_EQ(drawn(f.canvas), QStringList{"Polygon (200,-200) (210,-200) (200,-200)"});
}

TEST(MapPrimitives, FontTextSizeAtTheDenominator)
{
    struct Case {
        int size, scale;
        double denominator;
        int expectedHeight;   // 0: nothing drawn
    };
    const Case cases[] = {
        {10, 1000, 2000, -7},    // 5 points at 96 dpi: 6.67 pixels
        {10, 1000, 30000, 0},    // 0.33 points: nothing
        {10, 0, 30000, -13},     // a fixed size
        {10, 1000, 0, -27},      // the current denominator (1:500): 20 points
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.denominator);
        Fixture f;
        TMapFont font;
        font.FontName = QStringLiteral("Arial");
        font.Size = k.size;
        font.Scale = k.scale;
        font.Color = static_cast<std::int32_t>(rgb(255, 0, 0));
        font.BrushStyle = 1;
        f.canvas.setTextAlign(TA_LEFT | TA_BASELINE);
        const LogFont before = f.canvas.font();
        f.map->DrawFontText(f.canvas, 2500, -2500, k.denominator, font, QStringLiteral("Надпись"));
        const auto texts = f.canvas.callsOf(EMR_EXTTEXTOUTW);
        if (k.expectedHeight == 0) {
            EXPECT_TRUE(texts.empty());
        } else {
            ASSERT_EQ(texts.size(), 1u);
            const auto fonts = f.canvas.callsOf(EMR_EXTCREATEFONTINDIRECTW);
            ASSERT_GE(fonts.size(), 1u);
            EXPECT_EQ(fonts.front().font.height, k.expectedHeight);
            EXPECT_EQ(fonts.front().font.charSet, DEFAULT_CHARSET);
            // In pixels, centred: (2500, -2500) is pixel (100, 100); the top
            // lies half the text's height above it.
            RecordingCanvas probe(pinnedMetrics());
            probe.setFont(fonts.front().font);
            const int h = probe.textExtent(QStringLiteral("Надпись")).cy;
            EXPECT_EQ(texts.front().point, QPoint(100, 100 - static_cast<int>(platform::roundHalfEven(h / 2.0))));
            // Drawn with centre-top alignment in pixel mapping, clear background.
            int mode = 0;
            unsigned align = 0;
            int bk = 0;
            for (const MetaRecord &r : f.canvas.calls()) {
                if (r.type == EMR_SETMAPMODE) mode = static_cast<int>(r.value);
                if (r.type == EMR_SETTEXTALIGN) align = static_cast<unsigned>(r.value);
                if (r.type == EMR_SETBKMODE) bk = static_cast<int>(r.value);
                if (r.type == EMR_EXTTEXTOUTW) break;
            }
            EXPECT_EQ(mode, MM_TEXT);
            EXPECT_EQ(align, TA_CENTER | TA_TOP);
            EXPECT_EQ(bk, TRANSPARENT);
        }
        // Mapping, alignment and font come back.
        EXPECT_EQ(f.canvas.mapMode(), MM_HIMETRIC);
        EXPECT_EQ(f.canvas.textAlign(), TA_LEFT | TA_BASELINE);
        EXPECT_EQ(f.canvas.font(), before);
    }
}

// ---- pictures ---------------------------------------------------------------

namespace {

// A 400 × 300 image in 0.01 mm (25 units a pixel, y upwards).
struct Picture {
    platform::ScopedService<ScreenMetrics> pin{pinnedMetrics()};
    std::unique_ptr<MapControlCore> map = makeControl(400, 300);
    QImage image = whiteImage(400, 300);
    std::unique_ptr<PainterCanvas> canvas = std::make_unique<PainterCanvas>(image, pinnedMetrics());
    Picture() { canvas->setMapMode(MM_HIMETRIC); }
    QImage finish()
    {
        canvas.reset();
        return image;
    }
};

// Picture units of a pixel's centre.
QPoint px(int x, int y)
{
    return QPoint(x * 25, -y * 25);
}

} // namespace

TEST(MapPrimitivesPicture, PolygonShadowAndVertexBoxes)
{
    Picture p;
    const std::vector<QPoint> square = {px(40, 40), px(140, 40), px(140, 140), px(40, 140), px(40, 40)};
    p.map->DrawShadow(*p.canvas, square);
    p.canvas->setPen(Pen{PS_SOLID, 50, rgb(0, 0, 255)});
    p.canvas->setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
    p.map->FillPolygon(*p.canvas, square, 1, 50, false);
    p.map->DrawVertexBoxes(*p.canvas, {px(250, 60), px(-3, 60)});
    const QImage img = p.finish();
    keepArtefact(img, QStringLiteral("polygon-shadow-boxes"));

    EXPECT_EQ(at(img, 90, 90), rgb(255, 0, 0));     // fill
    EXPECT_EQ(at(img, 40, 90), rgb(0, 0, 255));     // outline, 2 pixels wide
    EXPECT_EQ(at(img, 140, 90), rgb(0, 0, 255));
    // The shadow: 800 units (32 pixels) right and down, grey on white, under
    // the square where they overlap.
    EXPECT_EQ(at(img, 160, 160), rgb(170, 170, 170));
    EXPECT_EQ(at(img, 100, 160), rgb(170, 170, 170));
    EXPECT_EQ(at(img, 160, 100), rgb(170, 170, 170));
    EXPECT_EQ(at(img, 175, 160), rgb(255, 255, 255));   // beyond 140 + 32
    EXPECT_EQ(at(img, 60, 60), rgb(255, 0, 0));
    // The vertex box: 80 units (3.2 pixels) of blue around (250, 60).
    EXPECT_EQ(at(img, 250, 60), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 255, 60), rgb(255, 255, 255));
    EXPECT_TRUE(inkBox(img, QRect(0, 50, 10, 20)).isNull());   // the box outside was left out
}

TEST(MapPrimitivesPicture, LineEndsOnALine)
{
    Picture p;
    p.canvas->setPen(Pen{PS_SOLID, 25, rgb(0, 128, 0)});
    const std::vector<QPoint> line = {px(50, 150), px(350, 150)};
    p.map->DrawClippedPolyline(*p.canvas, line, 1, 25);
    // w = 30, f = 5: an arrow 750 units (30 pixels) long at each end.
    p.map->DrawLineEnds(*p.canvas, line, 30, 5, 1, 10);
    const QImage img = p.finish();
    keepArtefact(img, QStringLiteral("line-ends"));

    // The filled triangle at the start points into the line: its wings are
    // 28 pixels along and ±10 across.
    EXPECT_EQ(at(img, 70, 150), rgb(0, 128, 0));
    EXPECT_EQ(at(img, 75, 145), rgb(0, 128, 0));
    EXPECT_EQ(at(img, 75, 155), rgb(0, 128, 0));
    EXPECT_EQ(at(img, 45, 150), rgb(255, 255, 255));   // nothing behind the tip
    // The dot at the end: radius 225 units (9 pixels).
    EXPECT_EQ(at(img, 350, 143), rgb(0, 128, 0));
    EXPECT_EQ(at(img, 357, 150), rgb(0, 128, 0));
    EXPECT_EQ(at(img, 350, 162), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 200, 140), rgb(255, 255, 255));
}

TEST(MapPrimitivesPicture, ClippedPolygonFillsTheViewLikeTheUnclippedOne)
{
    // A polygon much larger than the view, forced through the clipper, covers
    // the picture as the polygon itself does.
    const std::vector<QPoint> big = {px(-5000, -3000), px(6000, -2000), px(3000, 7000), px(-4000, 5000),
                                     px(-5000, -3000)};
    QImage clipped, plain;
    for (bool force : {true, false}) {
        Picture p;
        p.canvas->setBrush(Brush{BS_SOLID, rgb(0, 160, 0), 0});
        p.map->FillPolygon(*p.canvas, big, 5, 1, force);
        (force ? clipped : plain) = p.finish();
    }
    keepArtefact(clipped, QStringLiteral("forced-clip"));
    EXPECT_EQ(colourBox(clipped, rgb(0, 160, 0)), QRect(0, 0, 400, 300));
    EXPECT_EQ(clipped, plain);
}
