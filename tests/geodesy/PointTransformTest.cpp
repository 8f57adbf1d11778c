// The transformation of single points: the plane key and the shift, the two
// projection kinds through the library (checked against cs2cs), the kind-4
// direction taken from the data, refused set-ups, unconvertible points and
// the rounding of stored values.

#include "geodesy/PointTransform.h"

#include "support/Cs2cs.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace geodesy;

namespace {

const QString zone6 = QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=33d00E +k=1 +x_0=6500000");
const QString zone5 = QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=27d00E +k=1 +x_0=5500000");

TransformParams params(int kind, const QString &source = {}, const QString &destination = {})
{
    TransformParams p;
    p.Kind = kind;
    p.Source = source;
    p.Destination = destination;
    return p;
}

} // namespace

TEST(PointTransform, KeyAndShift)
{
    struct Case {
        const char *name;
        TransformParams p;
        double x, y, nx, ny; // easting, northing in and out
    };
    const Case cases[] = {
        // A key without turn and scale is the shift: DX to the northing, DY to the easting.
        {"key as shift", {tkKey, 0, 1, 10, 20, 1, 0, {}, {}}, 5, 7, 25, 17},
        {"shift", {tkShift, 0, 1, 10, 20, 1, 0, {}, {}}, 5, 7, 25, 17},
        // A quarter turn (cos 0, sin 1): (x, y) = (1, 0) to (0, -1), (0, 1) to (1, 0).
        {"quarter turn east", {tkKey, 0, 1, 0, 0, 0, 1, {}, {}}, 1, 0, 0, -1},
        {"quarter turn north", {tkKey, 0, 1, 0, 0, 0, 1, {}, {}}, 0, 1, 1, 0},
        {"scale and shift", {tkKey, 0, 2, 100, 200, 1, 0, {}, {}}, 1, 2, 202, 104},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PointTransform t(c.p);
        ASSERT_TRUE(t.setUp());
        double x = c.x, y = c.y;
        ASSERT_TRUE(t.apply(x, y, true));
        EXPECT_DOUBLE_EQ(x, c.nx);
        EXPECT_DOUBLE_EQ(y, c.ny);
    }
    // A key that overflows gives no point.
    PointTransform t({tkKey, 0, 1e308, 0, 0, 1e10, 0, {}, {}});
    ASSERT_TRUE(t.setUp());
    double x = 1e10, y = 1;
    EXPECT_FALSE(t.apply(x, y, true));
    EXPECT_EQ(x, 1e10);
}

TEST(PointTransform, ProjectionsAgreeWithCs2cs)
{
    PointTransform between(params(tkProjections, zone6, zone5));
    ASSERT_TRUE(between.setUp());
    double x = 6400000, y = 5600000;
    ASSERT_TRUE(between.apply(x, y, true));
    EXPECT_NEAR(x, 5825434.0953, 1e-4);
    EXPECT_NEAR(y, 5609121.2236, 1e-4);

    PointTransform one(params(tkOneProjection, zone6));
    ASSERT_TRUE(one.setUp());
    x = 30.5;
    y = 50.4;
    ASSERT_TRUE(one.apply(x, y, true));
    EXPECT_NEAR(x, 6322259.7078, 1e-4);
    EXPECT_NEAR(y, 5588427.0682, 1e-4);

    if (!testsupport::haveCs2cs())
        GTEST_SKIP() << "cs2cs is not installed (package proj-bin)";
    const std::vector<std::pair<double, double>> projected = {
        {6400000, 5600000}, {6500000, 5540944.4676}, {6312345.678, 6012345.678}, {6650000, 4800000}};
    const auto expected = testsupport::cs2cs(
        (zone6 + QStringLiteral(" +to") + zone5).split(u' ', Qt::SkipEmptyParts), projected);
    ASSERT_EQ(expected.size(), projected.size());
    PointTransform again(params(tkProjections, zone6, zone5));
    ASSERT_TRUE(again.setUp());
    for (size_t i = 0; i < projected.size(); ++i) {
        double px = projected[i].first, py = projected[i].second;
        ASSERT_TRUE(again.apply(px, py, i == 0));
        EXPECT_NEAR(px, expected[i].first, 1e-3) << i;
        EXPECT_NEAR(py, expected[i].second, 1e-3) << i;
    }
}

// Kind 4 takes the direction from the data: a northing beyond 60, or an
// easting beyond 60 in the very first point, marks the input projected, and
// it stays so for the rest of the run.
TEST(PointTransform, OneProjectionTakesItsDirectionFromTheData)
{
    struct Step {
        double x, y;
        bool first;
        bool toDegrees;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"degrees", {{30.5, 50.4, true, false}, {33, 50, false, false}}},
        {"projected", {{6400000, 5600000, true, true}, {6500000, 5540944.4676, false, true}}},
        {"first easting beyond 60", {{6400000, 50, true, true}}},
        {"later easting beyond 60 alone", {{30.5, 50.4, true, false}, {61, 50, false, false}}},
        {"degrees, then projected, then degrees",
         {{30.5, 50.4, true, false}, {6400000, 5600000, false, true}, {31, 51, false, true}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PointTransform t(params(tkOneProjection, zone6));
        ASSERT_TRUE(t.setUp());
        for (const Step &s : c.steps) {
            double x = s.x, y = s.y;
            const bool converted = t.apply(x, y, s.first);
            if (s.toDegrees && s.x == 6400000 && s.y == 5600000) {
                ASSERT_TRUE(converted);
                EXPECT_NEAR(x, 31.5898760231, 1e-9);
                EXPECT_NEAR(y, 50.5223633666, 1e-9);
            }
            if (!converted)
                continue; // degrees read as metres lie outside the projection
            // Degrees come out as millions of metres, metres as degrees.
            EXPECT_EQ(std::fabs(x) < 1000 && std::fabs(y) < 1000, s.toDegrees) << s.x << " " << s.y;
        }
    }
}

TEST(PointTransform, RefusedSetUpsAndUnconvertiblePoints)
{
    struct Case {
        const char *name;
        TransformParams p;
    };
    const Case cases[] = {
        {"empty source", params(tkProjections, {}, zone5)},
        {"empty destination", params(tkProjections, zone6, {})},
        {"unknown ellipsoid", params(tkOneProjection, " +proj=tmerc +ellps=ITRFMEX")},
        {"unknown projection", params(tkOneProjection, " +proj=foo +ellps=krass +lon_0=33")},
        // The library would take its default ellipsoid; the old one refused.
        {"no ellipsoid", params(tkOneProjection, " +proj=tmerc +lon_0=33d00E +k=1 +x_0=6500000")},
        {"no ellipsoid in the destination", params(tkProjections, zone6, " +proj=tmerc +lon_0=27")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PointTransform t(c.p);
        EXPECT_FALSE(t.setUp());
        EXPECT_TRUE(t.error().startsWith(QStringLiteral("Ошибка при формировании проекции "))) << t.error().toStdString();
        EXPECT_GT(t.error().size(), QStringLiteral("Ошибка при формировании проекции ").size());
    }
    // Kinds 0 and 2 need no projection; an axis, a radius or a datum name
    // the figure as well as an ellipsoid does.
    EXPECT_TRUE(PointTransform(params(tkShift)).setUp());
    for (const char *figure : {"+a=6378245 +rf=298.3", "+R=6371000", "+datum=WGS84"})
        EXPECT_TRUE(PointTransform(params(tkOneProjection, QStringLiteral("+proj=tmerc ") + QLatin1String(figure))).setUp()) << figure;

    // A projection without an inverse cannot take projected points back.
    PointTransform airy(params(tkOneProjection, " +proj=airy +ellps=WGS84"));
    ASSERT_TRUE(airy.setUp());
    double x = 1000, y = 1000;
    EXPECT_FALSE(airy.apply(x, y, true));
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 1000);
    EXPECT_FALSE(airy.error().isEmpty());
}

TEST(PointTransform, StoredValuesAreRoundedToTheDigits)
{
    struct Case {
        int digits;
        double value, stored;
    };
    const Case cases[] = {
        {3, 1234.56789, 1234.568}, {0, 1234.56789, 1234.56789}, {-1, 1234.56789, 1234.56789},
        {4, 6322259.70784, 6322259.7078}, {2, -0.125, -0.12}, {1, 5540944.25, 5540944.2}, {1, 5540944.35, 5540944.3},
    };
    for (const Case &c : cases) {
        TransformParams p = params(tkShift);
        p.Digits = c.digits;
        EXPECT_DOUBLE_EQ(PointTransform(p).stored(c.value), c.stored) << c.digits << " " << c.value;
    }
}
