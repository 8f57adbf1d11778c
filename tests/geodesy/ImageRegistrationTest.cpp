// The registration window's arithmetic: residuals, the turn of the points,
// the suggested map point, the zoom, and the points moved after the picture
// was turned.

#include "geodesy/ImageRegistration.h"

#include "platform/Environment.h"
#include "raster/RasterObject.h"
#include "support/TestFiles.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace georef;

TEST(ImageRegistration, ResidualsOrQuestionMarks)
{
    const platform::ScopedService<platform::DecimalSeparator> point(u'.');
    const std::vector<RegPoint> fitting = {{QStringLiteral("Pt 1"), 1000, 2000, 0, 0},
                                           {QStringLiteral("Pt 2"), 1100, 2000, 100, 0},
                                           {QStringLiteral("Pt 3"), 1100, 1900, 100, 100}};
    for (const auto &r : residualTexts(fitting, 100))
        EXPECT_EQ(r, std::pair(QStringLiteral("0.00"), QStringLiteral("0.00")));

    // A point off in the easting (map x) shows under "Y Ошибка", beside the
    // easting's column "Y Карта"; one off in the northing under "X Ошибка".
    // The fit shares a point's error with the others: of 0.6 m off in the
    // northing, 0.45 m shows at the point and -0.15 m at the others.
    const std::vector<RegPoint> square = {{QStringLiteral("1"), 1000, 2000, 0, 0},
                                          {QStringLiteral("2"), 1100, 2000, 100, 0},
                                          {QStringLiteral("3"), 1100, 1900, 100, 100},
                                          {QStringLiteral("4"), 1000, 1900, 0, 100}};
    std::vector<RegPoint> east = square;
    east[3].X += 2;
    std::vector<RegPoint> north = square;
    north[3].Y += 0.6;
    const auto e = residualTexts(east, 100), n = residualTexts(north, 100);
    EXPECT_EQ(e[3].first, QStringLiteral("0.00"));
    EXPECT_NE(e[3].second, QStringLiteral("0.00"));
    EXPECT_EQ(n[3].second, QStringLiteral("0.00"));
    // Less than a metre is not rounded away.
    EXPECT_EQ(n[3].first, QStringLiteral("0.45"));
    EXPECT_EQ(n[0].first, QStringLiteral("-0.15"));

    const std::vector<std::vector<RegPoint>> unknown = {
        {fitting[0], fitting[1]},
        {{QString(), 0, 0, 5, 1}, {QString(), 1, 1, 5, 2}, {QString(), 2, 2, 5, 3}}, // one column
    };
    for (const auto &points : unknown)
        for (const auto &q : residualTexts(points, 100))
            EXPECT_EQ(q, std::pair(QStringLiteral("?"), QStringLiteral("?")));
}

TEST(ImageRegistration, SuggestedPointExtendsTheFirstTwo)
{
    const std::vector<RegPoint> points = {{QString(), 1000, 2000, 0, 0}, {QString(), 1100, 1900, 100, 100}};
    const auto s = suggestedMapPoint(points, 50, 50);
    ASSERT_TRUE(s.has_value());
    EXPECT_DOUBLE_EQ(s->first, 1050);
    EXPECT_DOUBLE_EQ(s->second, 1950);
    EXPECT_FALSE(suggestedMapPoint({points[0]}, 1, 1));
    EXPECT_FALSE(suggestedMapPoint({points[0], {QString(), 1100, 2000, 100, 100}}, 1, 1)); // same map y
}

TEST(ImageRegistration, ZoomBoxClampsAndReads)
{
    EXPECT_EQ(zoomText(clampZoom(12)), QStringLiteral("1000 %"));
    EXPECT_EQ(zoomText(clampZoom(0.001)), QStringLiteral("1 %"));
    EXPECT_EQ(zoomText(1.2 * 1.2), QStringLiteral("144 %"));
    EXPECT_EQ(zoomFromText(QStringLiteral("250 %")), 2.5);
    EXPECT_EQ(zoomFromText(QStringLiteral("0")), 0.01);
    EXPECT_EQ(zoomFromText(QStringLiteral("99999999999999 %")), 10);
    EXPECT_FALSE(zoomFromText(QStringLiteral("много")).has_value());
}

TEST(ImageRegistration, RotationAngleAndTurnedPoints)
{
    // The picture's first row runs north on the map: it must turn a quarter
    // counter-clockwise.
    EXPECT_EQ(rotationAngleDeg({{QString(), 1000, 2000, 0, 0}, {QString(), 1000, 2100, 100, 0}}), 90);
    EXPECT_EQ(rotationAngleDeg({{QString(), 1000, 2000, 0, 0}}), 0);
    // A little clockwise of the map reads as such, not as most of a circle.
    EXPECT_EQ(rotationAngleDeg({{QString(), 0, 0, 0, 0}, {QString(), 100, -1.745, 100, 0}}), -1);

    // The map control reports the same turn of the points the other way
    // round (its angle runs clockwise, in radians).
    for (const std::vector<RegPoint> &pts : std::vector<std::vector<RegPoint>>{
             {{QString(), 1000, 2000, 0, 0}, {QString(), 1000, 2100, 100, 0}},
             {{QString(), 0, 0, 10, 10}, {QString(), 50, 86.6025, 110, 10}},
             {{QString(), 0, 0, 10, 10}, {QString(), 100, -20, 110, 60}}}) {
        std::vector<TControlPoint> control;
        for (const RegPoint &p : pts)
            control.push_back({p.X, p.Y, p.Column, p.Row});
        double map = -raster::rasterRotationAngle(control) * 180 / M_PI;
        map = std::remainder(map, 360.0);
        EXPECT_NEAR(rotationAngleDeg(pts), map, 0.006);
    }

    // A 100 × 50 picture turned by 90 counter-clockwise becomes 50 × 100: its
    // top right corner goes to the top left, the bottom left to the bottom
    // right.
    const std::vector<RegPoint> points = {{QString(), 0, 0, 100, 0}, {QString(), 0, 0, 0, 50}};
    const auto turned = adjustedPoints(points, 100, 50, 50, 100, 90);
    EXPECT_EQ(turned[0].Column, 0);
    EXPECT_EQ(turned[0].Row, 0);
    EXPECT_EQ(turned[1].Column, 50);
    EXPECT_EQ(turned[1].Row, 100);
    // No turn: moved by half the growth, kept inside.
    const auto grown = adjustedPoints({{QString(), 0, 0, 10, 10}, {QString(), 0, 0, 99, 49}}, 100, 50, 110, 40, 0);
    EXPECT_EQ(grown[0].Column, 15);
    EXPECT_EQ(grown[0].Row, 5);
    EXPECT_EQ(grown[1].Row, 40);
    EXPECT_FALSE(sizeChanged(100, 50, 102, 48));
    EXPECT_TRUE(sizeChanged(100, 50, 103, 50));
}

TEST(ImageRegistration, TemporaryCopyTakesTheSmallestFreeNumber)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("1.bmp"), "x");
    dir.write(QStringLiteral("3.bmp"), "x");
    EXPECT_EQ(freeTemporaryBmp(dir.path()), dir.file(QStringLiteral("2.bmp")));
}
