#include "mapdata/MapTypes.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MapTypes, GrowingABoxTakesZeroAsUnset)
{
    struct Step { double x, y; double minX, minY, maxX, maxY; };
    // Points grown one after another into a box that starts at zero.
    const Step steps[] = {
        {10, 20, 10, 20, 10, 20},
        {5, 30, 5, 20, 10, 30},
        {-3, -4, -3, -4, 10, 30},
    };
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const Step &s : steps) {
        growBox(minX, minY, maxX, maxY, s.x, s.y);
        EXPECT_EQ(minX, s.minX);
        EXPECT_EQ(minY, s.minY);
        EXPECT_EQ(maxX, s.maxX);
        EXPECT_EQ(maxY, s.maxY);
    }
    // A bound that became exactly 0 is replaced by the next value, even a
    // smaller maximum: data reaching coordinate 0 gets a wrong box, as stored
    // files expect.
    minX = minY = maxX = maxY = 0;
    growBox(minX, minY, maxX, maxY, -5, -5, 0, 0);
    growBox(minX, minY, maxX, maxY, -7, -7);
    EXPECT_EQ(maxX, -7);
    EXPECT_EQ(minX, -7);
}

TEST(MapTypes, PointWidthAndHeightShareTheBytesOfZ)
{
    TShpPoint p;
    p.setWH(640, -2);
    unsigned char raw[8];
    std::memcpy(raw, &p.Z, 8);
    const unsigned char expected[8] = {0x80, 0x02, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(raw, expected, 8), 0);
    EXPECT_EQ(p.W(), 640);
    EXPECT_EQ(p.H(), -2);
    // A double read from a file gives back the same integers.
    TShpPoint q;
    std::memcpy(&q.Z, expected, 8);
    EXPECT_EQ(q.W(), 640);
    EXPECT_EQ(q.H(), -2);
}
