// The raster record: its bytes, its shape in the object table, the fit of
// its rectangle to the control points and their turn.

#include "raster/RasterObject.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <numbers>

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

namespace {

// A record of two control points built at its literal offsets.
QByteArray recordBytes(std::int32_t count, qsizetype size = 282 + 2 * 24)
{
    using testsupport::putLE32;
    using testsupport::putLEDouble;
    QByteArray b(size, '\0');
    putLE32(b, 0, 10);
    putLEDouble(b, 4, 1000.5);
    putLEDouble(b, 12, 1950);
    putLEDouble(b, 20, 1100);
    putLEDouble(b, 28, 2000);
    const QByteArray name("C:\\maps\\\xeb\xe8\xf1\xf2.tiff");   // "лист" in Windows-1251
    std::copy(name.begin(), name.end(), b.begin() + 36);
    b[236] = 1;
    putLE32(b, 237, 100);
    putLE32(b, 241, 50);
    putLE32(b, 277, count);
    if (size >= 282 + 48) {
        putLEDouble(b, 282, 1000);
        putLEDouble(b, 290, 2000);
        putLE32(b, 298, 0);
        putLE32(b, 302, 0);
        putLEDouble(b, 306, 1100);
        putLEDouble(b, 314, 1950);
        putLE32(b, 322, 100);
        putLE32(b, 326, 50);
    }
    return b;
}

} // namespace

TEST(RasterRecord, FieldsAtTheirOffsetsBothWays)
{
    const QByteArray bytes = recordBytes(2);
    TRasterObject r;
    ASSERT_TRUE(raster::decodeRasterObject(bytes.constData(), bytes.size(), r));
    EXPECT_EQ(r.ShapeType, 10);
    EXPECT_EQ(r.XMin, 1000.5);
    EXPECT_EQ(r.YMin, 1950);
    EXPECT_EQ(r.XMax, 1100);
    EXPECT_EQ(r.YMax, 2000);
    EXPECT_EQ(r.ImageName, QStringLiteral("C:\\maps\\лист.tiff"));
    EXPECT_EQ(r.ImageFlag, 1);
    EXPECT_EQ(r.ImageWidth, 100);
    EXPECT_EQ(r.ImageHeight, 50);
    EXPECT_EQ(r.Points, (std::vector<TControlPoint>{{1000, 2000, 0, 0}, {1100, 1950, 100, 50}}));
    EXPECT_EQ(raster::encodeRasterObject(r), bytes);

    // The table's shape of it, and back.
    TShpObject shape;
    raster::shapeFromRaster(r, shape);
    EXPECT_EQ(shape.ShapeType, 10);
    ASSERT_EQ(shape.Parts.size(), 1u);
    EXPECT_EQ(shape.Parts[0].Points[1].W(), 100);
    EXPECT_EQ(shape.Parts[0].Points[1].H(), 50);
    EXPECT_EQ(raster::rasterFromShape(shape), r);
}

TEST(RasterRecord, CountsTheRecordDoesNotHoldAreRefused)
{
    const struct {
        std::int32_t count;
        qsizetype size;
    } cases[] = {{-1, 330}, {3, 330}, {2, 329}, {0x7fffffff, 330}, {0, 281}};
    for (const auto &c : cases) {
        const QByteArray bytes = recordBytes(c.count, c.size);
        TRasterObject r;
        r.ImageName = QStringLiteral("unchanged");
        EXPECT_FALSE(raster::decodeRasterObject(bytes.constData(), bytes.size(), r)) << c.count << " " << c.size;
        EXPECT_EQ(r.ImageName, QStringLiteral("unchanged"));
    }
    // No control points at all is a record.
    const QByteArray none = recordBytes(0, 282);
    TRasterObject r;
    EXPECT_TRUE(raster::decodeRasterObject(none.constData(), none.size(), r));
    EXPECT_TRUE(r.Points.empty());
}

TEST(RasterRecord, TurnOfTheControlPoints)
{
    const struct {
        std::vector<TControlPoint> points;
        double angle;
    } cases[] = {
        {{}, 0},
        {{{1000, 2000, 0, 0}}, 0},
        // The picture's first row runs north on the map: 0° minus 90°.
        {{{1000, 2000, 0, 0}, {1000, 2100, 100, 0}}, -std::numbers::pi / 2},
        // Unturned, the second point south-east of the first.
        {{{1000, 2000, 0, 0}, {1100, 1950, 100, 50}}, 0},
        // The first row runs south: 180° minus 90°.
        {{{1000, 2000, 0, 0}, {1000, 1900, 100, 0}}, std::numbers::pi / 2},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(raster::rasterRotationAngle(c.points), c.angle, 1e-12) << c.points.size();
}
