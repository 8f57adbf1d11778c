// Fitting a picture's rectangle on the map to its control points.

#include "raster/RasterObject.h"

#include <gtest/gtest.h>

namespace {

TRasterObject picture(std::vector<TControlPoint> points, std::int32_t width = 100, std::int32_t height = 50)
{
    TRasterObject r;
    r.ImageWidth = width;
    r.ImageHeight = height;
    r.XMin = -1;
    r.YMin = -2;
    r.XMax = -3;
    r.YMax = -4;
    r.Points = std::move(points);
    return r;
}

} // namespace

TEST(FitRasterToControlPoints, TheBoxFollowsFromTheFactorsAndTheMeanCorner)
{
    // Pixel (0, 0) on (1000, 2000), pixel (100, 50) on (1100, 1950).
    TRasterObject r = picture({{1000, 2000, 0, 0}, {1100, 1950, 100, 50}});
    ASSERT_TRUE(raster::fitRasterToControlPoints(r));
    EXPECT_EQ(r.XMin, 1000);
    EXPECT_EQ(r.XMax, 1100);
    EXPECT_EQ(r.YMin, 1950);
    EXPECT_EQ(r.YMax, 2000);

    // Three points, 2 map units a pixel across and 0.5 down, one of them off
    // by (3, -3): the corner is the mean, the factors the ratio of the sums
    // of steps around the ring.
    r = picture({{0, 0, 0, 0}, {200, 0, 100, 0}, {203, -28, 100, 50}}, 100, 50);
    ASSERT_TRUE(raster::fitRasterToControlPoints(r));
    const double kx = (200.0 + 3 + 203) / (100 + 0 + 100);
    const double ky = (0.0 + 28 + 28) / (0 + 50 + 50);
    EXPECT_NEAR(r.XMin, (0 + (200 - 100 * kx) + (203 - 100 * kx)) / 3, 1e-9);
    EXPECT_NEAR(r.YMax, (0 + 0 + (-28 + 50 * ky)) / 3, 1e-9);
    EXPECT_NEAR(r.XMax, r.XMin + 100 * kx, 1e-9);
    EXPECT_NEAR(r.YMin, r.YMax - 50 * ky, 1e-9);
}

TEST(FitRasterToControlPoints, PointsThatGiveNoFactorKeepTheBox)
{
    const std::vector<std::vector<TControlPoint>> cases = {
        {},
        {{1000, 2000, 0, 0}},
        {{1000, 2000, 10, 0}, {1100, 1950, 10, 50}},   // one pixel column
        {{1000, 2000, 0, 20}, {1100, 1950, 100, 20}},  // one pixel row
    };
    for (const auto &points : cases) {
        SCOPED_TRACE(points.size());
        TRasterObject r = picture(points);
        EXPECT_FALSE(raster::fitRasterToControlPoints(r));
        EXPECT_EQ(r.XMin, -1);
        EXPECT_EQ(r.YMin, -2);
        EXPECT_EQ(r.XMax, -3);
        EXPECT_EQ(r.YMax, -4);
    }
}
