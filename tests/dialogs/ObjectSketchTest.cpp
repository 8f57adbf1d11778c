// The object view's sketch: measurements of rings and lines, rings that
// start at the origin, the labels' texts, the grid, the fit and the wheel.

#include "dialogs/ObjectSketch.h"
#include "platform/Environment.h"

#include <gtest/gtest.h>

using namespace sketch;

namespace {

std::vector<TShpPoint> pts(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<TShpPoint> out;
    for (auto [x, y] : xy) {
        TShpPoint p;
        p.X = x;
        p.Y = y;
        out.push_back(p);
    }
    return out;
}

QString dec(QString text)
{
    // The tests write a point; the platform writes its own separator.
    return text.replace(u'.', platform::decimalSeparator());
}

} // namespace

TEST(ObjectSketch, RingsAndLinesAreMeasured)
{
    struct Case {
        const char *what;
        std::vector<TShpPoint> points;
        double area, perimeter;
    };
    const Case cases[] = {
        {"square", pts({{1, 1}, {11, 1}, {11, 11}, {1, 11}, {1, 1}}), 100, 40},
        // The ring's first point is kept with a flag: the origin closes it too.
        {"square from the origin", pts({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}), 100, 40},
        {"triangle", pts({{100, 100}, {200, 100}, {100, 200}, {100, 100}}), 5000, 341.4213562373095},
        {"two rings", pts({{0, 0}, {2, 0}, {2, 2}, {0, 0}, {5, 5}, {6, 5}, {6, 6}, {5, 5}}), 2.5, 0},
        {"one point", pts({{3, 4}}), 0, 0},
    };
    for (const Case &c : cases) {
        Objects o;
        AppendObject(o, 7, {c.points});
        ASSERT_EQ(o.Parts.size(), 1u) << c.what;
        const Part &p = o.Parts[0];
        EXPECT_DOUBLE_EQ(p.Area, c.area) << c.what;
        if (c.perimeter > 0) {
            EXPECT_NEAR(p.Perimeter, c.perimeter, 1e-9) << c.what;
        }
        EXPECT_EQ(p.Index, 7);
    }
    // The two rings: the jump between them is no side.
    Objects two;
    AppendObject(two, 0, {cases[3].points});
    EXPECT_NEAR(two.Parts[0].Perimeter, 4 + std::sqrt(8.0) + 2 + std::sqrt(2.0), 1e-9);

    // Lengths, directions and vertex angles of the square from the origin.
    Objects sq;
    AppendObject(sq, 0, {cases[1].points});
    const std::vector<Vertex> &v = sq.Parts[0].Points;
    EXPECT_EQ(v[0].Text, QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(v[1].Length, 10);
    EXPECT_DOUBLE_EQ(v[0].Length, 0);
    for (const Vertex &x : v)
        EXPECT_NEAR(std::fmod(x.Angle, 180), 90, 0.02) << "right angles at every vertex, the first included (the angle routine nudges axis-parallel sides)";
    EXPECT_DOUBLE_EQ(v[4].Direction, v[0].Direction);
    EXPECT_DOUBLE_EQ(sq.Parts[0].LabelX, 5);
    EXPECT_DOUBLE_EQ(sq.CenterY, 5);
    EXPECT_DOUBLE_EQ(sq.MinX, 0) << "a bound at 0 is a bound";
    EXPECT_DOUBLE_EQ(sq.MaxX, 10);
}

TEST(ObjectSketch, LabelTexts)
{
    EXPECT_EQ(AreaText(5000), dec(QStringLiteral("0.5000")));
    EXPECT_EQ(PerimeterText(341.4213562), dec(QStringLiteral("P = 341.42 м.")));
    EXPECT_EQ(LengthText(10), dec(QStringLiteral("10.00")));
    EXPECT_EQ(NorthingText(5412345.123456), dec(QStringLiteral("X = 5412345.1235")));
    EXPECT_EQ(EastingText(-3.5), dec(QStringLiteral("Y = -3.5000")));

    SegmentLabels labels;
    EXPECT_TRUE(labels.firstTime(0, 0, 10, 0));
    EXPECT_FALSE(labels.firstTime(10, 0, 0, 0)) << "a segment shared by two objects, walked the other way";
    EXPECT_FALSE(labels.firstTime(0, 0, 10, 0));
    EXPECT_TRUE(labels.firstTime(0, 0, 10, 1));
}

TEST(ObjectSketch, TheGridHasTwoToAHundredLinesEachWay)
{
    Objects none;
    Grid g = GridPoints(none, 500);
    EXPECT_EQ(g.xs, (std::vector<double>{0, 50}));
    EXPECT_EQ(g.ys, (std::vector<double>{0, 50}));

    Objects small;
    AppendObject(small, 0, {pts({{1210, 3310}, {1212, 3312}})});
    g = GridPoints(small, 500);
    EXPECT_EQ(g.xs.front(), 1200);
    EXPECT_EQ(g.xs.back(), 1250) << "through the largest value and one step";
    EXPECT_EQ(g.ys.front(), 3300);

    Objects wide;
    AppendObject(wide, 0, {pts({{0, 0}, {100000, 10}})});
    g = GridPoints(wide, 100);
    EXPECT_EQ(g.xs.size(), 100u);
    EXPECT_EQ(g.ys.size(), 3u);

    // At 1:5000 the first line is a multiple of 500.
    Objects far;
    AppendObject(far, 0, {pts({{1730, 2260}, {1800, 2300}})});
    g = GridPoints(far, 5000);
    EXPECT_EQ(g.xs.front(), 1500);
    EXPECT_EQ(g.ys.front(), 2000);
}

TEST(ObjectSketch, FitScaleAndWheel)
{
    Objects sq;
    AppendObject(sq, 0, {pts({{0, 0}, {100, 0}, {100, 50}, {0, 50}, {0, 0}})});
    View v;
    FitPicture(v, sq, 440, 330, 25, 25);
    EXPECT_DOUBLE_EQ(v.Width, 11000);
    EXPECT_DOUBLE_EQ(v.Scale, 100) << "11000 / (1.1 * 100)";
    EXPECT_DOUBLE_EQ(v.CenterX, 50);

    Objects point;
    AppendObject(point, 0, {pts({{7, 7}})});
    FitPicture(v, point, 440, 330, 25, 25);
    EXPECT_DOUBLE_EQ(v.Scale, 500) << "no extent";

    struct Case {
        double scale;
        const char *panel0, *panel1, *field;
    };
    for (const Case c : {Case{100, "M 1:1000", "Zoom: 110x82 m", "1000"}, // 82.5 rounds to even,
                         Case{200000, "M 2:1", "Zoom: 0x0 m", "0"},
                         Case{0, "M 1:1", "Zoom: 11000x8250 m", "1"}}) {
        View s;
        s.Scale = c.scale;
        s.Width = 11000;
        s.Height = 8250;
        const ScaleTexts t = ScaleStatus(s);
        EXPECT_EQ(t.scale, QString::fromUtf8(c.panel0));
        EXPECT_EQ(t.zoom, QString::fromUtf8(c.panel1));
        EXPECT_EQ(t.field, QString::fromUtf8(c.field));
    }
    EXPECT_EQ(Denominator(100), 1000);

    WheelCounter wheel;
    int zooms = 0;
    for (int i = 0; i < 8; ++i)
        zooms += wheel.notch();
    EXPECT_EQ(zooms, 2) << "every fourth notch";
}
