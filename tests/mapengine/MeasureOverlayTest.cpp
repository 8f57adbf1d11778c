// The measuring painters: the measures text and the caption rotation apart
// from the drawing, the figure and ruler painters on the control's bitmap,
// and the image of a dragged vertex with the raster pixel readout.

#include "EngineFixtures.h"

#include "mapengine/Measuring.h"
#include "platform/Environment.h"

#include <gtest/gtest.h>

using namespace maptest;

namespace {

constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kBlue = rgb(0, 0, 255);

void setFigure(MapControlCore &m, std::initializer_list<std::pair<double, double>> points)
{
    TNewObject &f = m.NewObject();
    f.clearFigure();
    for (auto [x, y] : points) {
        TNewPoint p;
        p.Point.X = x;
        p.Point.Y = y;
        f.Points.push_back(p);
    }
}

} // namespace

TEST(Measuring, MeasureText)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    struct Case {
        const char *name;
        std::vector<TMapPoint> points;
        TMapPoint cursor, press;
        const char *text;
        double length;
    };
    const Case cases[] = {
        {"one point", {{0, 0}}, {3, 4}, {0, 0}, "L= 5,00 P= 5,00 S= 0,00", 0},
        // Two points and the cursor make a triangle, but no area is shown yet.
        {"two points", {{0, 0}, {10, 0}}, {10, 10}, {10, 0}, "L= 10,00 P= 20,00 S= 0,00", 10},
        // The square closes through the cursor; the closing side is not in
        // the perimeter.
        {"three points", {{0, 0}, {10, 0}, {10, 10}}, {0, 10}, {10, 10}, "L= 10,00 P= 30,00 S= 100,00", 20},
        {"clockwise", {{0, 0}, {0, 10}, {10, 10}}, {10, 0}, {10, 10}, "L= 10,00 P= 30,00 S= 100,00", 20},
        // A quadrilateral p0, p1, p2, cursor.
        {"quadrilateral", {{0, 0}, {4, 0}, {4, 3}}, {1, 3}, {4, 3}, "L= 3,00 P= 10,00 S= 10,50", 7},
        {"rounded", {{0, 0}, {0.333, 0}}, {0.333, 0.3333}, {0.333, 0}, "L= 0,33 P= 0,67 S= 0,00", 0.333},
        {"no points", {}, {3, 4}, {0, 0}, "L= 5,00 P= 5,00 S= 0,00", 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        double length = -1;
        EXPECT_EQ(mapengine::MeasureText(k.points, k.cursor, k.press, &length), QString::fromUtf8(k.text));
        EXPECT_DOUBLE_EQ(length, k.length);
    }
    platform::ScopedService<platform::DecimalSeparator> point(u'.');
    EXPECT_EQ(mapengine::MeasureText({{0, 0}}, {3, 4}, {0, 0}), QStringLiteral("L= 5.00 P= 5.00 S= 0.00"));
}

TEST(Measuring, CaptionsRunAlongTheirSegmentsNeverUpsideDown)
{
    struct Case {
        const char *name;
        QPoint a, b;
        double rotation;
    };
    const Case cases[] = {
        {"to the right", {0, 0}, {100, 0}, 0},
        {"to the left", {100, 0}, {0, 0}, 0},
        // Up and down read in opposite directions.
        {"up", {0, 0}, {0, 100}, 90},
        {"down", {0, 100}, {0, 0}, -90},
        {"up and right", {0, 0}, {100, 100}, -45},
        {"down and left", {100, 100}, {0, 0}, -45},
        {"up and left", {100, 0}, {0, 100}, 45},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_NEAR(mapengine::CaptionRotation(k.a, k.b), k.rotation, 1e-9);
    }
}

TEST(Measuring, FigureAndRulerPainters)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    EngineProject p;
    p.map.BackBuffer().fill(kWhite);
    setFigure(p.map, {{950, 1000}, {1000, 1000}, {1000, 1030}});
    p.map.Drag().CursorX = 950;
    p.map.Drag().CursorY = 1030;
    p.map.Drag().PressMapX = 1000;
    p.map.Drag().PressMapY = 1030;
    QString text;
    p.map.DrawDrawingMeasures(text);
    EXPECT_EQ(text, QStringLiteral("L= 50,00 P= 130,00 S= 1500,00"));
    EXPECT_EQ(p.map.NewObject().Length, 80);
    QImage img = p.map.PictureBitmap().image();
    // Blue segments, the rubber one to the cursor included, and boxes of
    // ±90 units (3.6 pixels) at the points.
    EXPECT_EQ(at(img, px(960), py(1000)), kBlue);
    EXPECT_EQ(at(img, px(1000), py(1020)), kBlue);
    EXPECT_EQ(at(img, px(990), py(1030)), kBlue);
    EXPECT_EQ(at(img, px(950) - 4, py(1000)), kBlue);
    EXPECT_EQ(at(img, px(950) - 6, py(1000)), kWhite);
    // A caption at the middle of each segment: black text.
    EXPECT_FALSE(blackInkBox(img.copy(px(975) - 30, py(1000) - 20, 61, 41)).isNull());
    EXPECT_FALSE(blackInkBox(img.copy(px(975) - 30, py(1030) - 20, 61, 41)).isNull());

    // The ruler draws red by not-xor: red on white paper.
    p.map.DrawRulerMeasures(text);
    EXPECT_EQ(text, QStringLiteral("L= 50,00 P= 130,00 S= 1500,00"));
    img = p.map.PictureBitmap().image();
    EXPECT_EQ(at(img, px(960), py(1000)), rgb(255, 0, 0));
    EXPECT_EQ(colourBox(img, kBlue), QRect());

    // The oval: the ellipse from the first point to the cursor and the
    // distance from the press point.
    p.map.Drag().CursorX = 1010;
    p.map.DrawMeasureSegment(text);
    EXPECT_EQ(text, QStringLiteral("L= 10,00"));
    EXPECT_EQ(p.map.NewObject().Length, 0);
    img = p.map.PictureBitmap().image();
    EXPECT_EQ(colourBox(img, kBlue), QRect(px(950), py(1030), px(1010) - px(950), py(1000) - py(1030)));
    EXPECT_EQ(at(img, px(950), py(1015)), kBlue);
    EXPECT_EQ(at(img, px(980), py(1015)), kWhite);
}

TEST(Measuring, DraggedVertexImage)
{
    EngineProject p;
    p.map.BackBuffer().fill(kWhite);
    const int roads = p.addLayer(QStringLiteral("roads"), 3,
                                 {fixtures::polyContent(3, {950, 980, 1060, 1030}, {0, 3},
                                                        {{950, 1000}, {1000, 1000}, {1000, 1030}, {1020, 980},
                                                         {1060, 980}})});
    const int images = p.addLayer(
        QStringLiteral("images"), 10,
        {fixtures::rasterContent(10, {1000, 995, 1020, 1005}, "pic.bmp", 0, 200, 100,
                                 {{1000, 1005, 0, 0}, {1020, 995, 200, 100}})});
    const int texts = p.addLayer(QStringLiteral("texts"), 8, {[] {
                                     fixtures::TextFields f;
                                     f.kind = okText;
                                     f.text = "A";
                                     f.fontName = "Arial";
                                     return fixtures::textContent(f, {0}, {{1040, 1040}});
                                 }()});
    const int points = p.addLayer(QStringLiteral("points"), 1, {fixtures::pointContent(1, 930, 1040)});

    // Ctrl over the picture: the pixel under the cursor, and a cross.
    p.map.Selection().Entries.clear();
    p.select(images, 0);
    QString text;
    p.map.DrawSnapIndicator(1005, 1002, Qt::ControlModifier, text);
    EXPECT_EQ(text, QStringLiteral("X= 50 Y= 30"));
    QImage img = p.map.PictureBitmap().image();
    EXPECT_EQ(at(img, px(1005) + 15, py(1002)), kBlue);
    EXPECT_EQ(at(img, px(1005), py(1002) - 15), kBlue);
    EXPECT_EQ(at(img, px(1005) + 25, py(1002)), kWhite);

    // A text, a point (its record hands out its point as often as asked):
    // only a box of 3 pixels at the cursor.
    p.map.ClearSelection();
    p.select(texts, 0);
    p.select(points, 0);
    p.map.DrawSnapIndicator(980, 1020, Qt::ControlModifier, text);
    EXPECT_EQ(text, QString());
    img = p.map.PictureBitmap().image();
    EXPECT_EQ(inkBox(img), QRect(px(980) - 3, py(1020) - 3, 6, 6));

    // The line's vertex 1 at the cursor; a layer that cannot be opened is
    // passed over.
    p.map.ClearSelection();
    p.select(roads, 0, 1);
    TSelObject gone;
    gone.Layer = 7;
    p.map.Selection().Entries.insert(p.map.Selection().Entries.begin(), gone);
    p.map.DrawSnapIndicator(980, 1020, {}, text);
    EXPECT_EQ(text, QString());
    img = p.map.PictureBitmap().image();
    EXPECT_EQ(at(img, px(965), py(1010)), kBlue);        // 950,1000 -> cursor
    EXPECT_EQ(at(img, px(990), py(1025)), kBlue);        // cursor -> 1000,1030
    EXPECT_EQ(at(img, px(975), py(1000)), kWhite);       // the old segment
    EXPECT_EQ(at(img, px(1000), py(1015)), kWhite);
    EXPECT_EQ(at(img, px(1040), py(980)), kBlue);        // the other part as it is
    EXPECT_EQ(at(img, px(1010), py(990)), kWhite);       // no segment between the parts
    // The dragged vertex's box, ±3 pixels: white inside.
    EXPECT_EQ(at(img, px(980) - 3, py(1020)), kBlue);
    EXPECT_EQ(at(img, px(980) + 1, py(1020) + 1), kWhite);

    // Alt: a new vertex after vertex 1; the dragged one stays.
    p.map.DrawSnapIndicator(980, 1020, Qt::AltModifier, text);
    img = p.map.PictureBitmap().image();
    EXPECT_EQ(at(img, px(975), py(1000)), kBlue);        // 950,1000 -> 1000,1000
    EXPECT_EQ(at(img, px(990), py(1010)), kBlue);        // 1000,1000 -> cursor
    EXPECT_EQ(at(img, px(990), py(1025)), kBlue);        // cursor -> 1000,1030
    EXPECT_EQ(at(img, px(1000), py(1015)), kWhite);      // not 1000,1000 -> 1000,1030
    // Captions: the length of each segment.
    EXPECT_FALSE(blackInkBox(img.copy(px(990) - 30, py(1010) - 30, 61, 61)).isNull());
}
