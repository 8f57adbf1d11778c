// Measuring parts and building zones, on points alone (no files).

#include "mapdata/BufferZones.h"
#include "mapdata/Measurements.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using XY = std::vector<std::pair<double, double>>;

TShpParts part(const XY &points)
{
    TShpParts p;
    for (const auto &[x, y] : points) {
        TShpPoint q;
        q.X = x;
        q.Y = y;
        p.Points.push_back(q);
    }
    return p;
}

void expectPoints(const std::vector<TShpPoint> &got, const XY &want, const char *what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t k = 0; k < want.size(); ++k) {
        EXPECT_NEAR(got[k].X, want[k].first, 1e-3) << what << " point " << k;
        EXPECT_NEAR(got[k].Y, want[k].second, 1e-3) << what << " point " << k;
    }
}

} // namespace

TEST(Measure, AreasLengthsAndBoxesOfParts)
{
    const XY square = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    const XY far = {{100, 200}, {110, 200}, {110, 210}, {100, 210}, {100, 200}};   // 10 x 10
    const XY holeCw = {{102, 202}, {102, 204}, {104, 204}, {104, 202}, {102, 202}};  // 2 x 2, opposite way
    struct Case {
        const char *what;
        std::vector<XY> parts;
        double area, length, minX, minY, maxX, maxY;
    };
    const Case cases[] = {
        {"unit square from the origin", {square}, 1, 4, 0, 0, 1, 1},
        {"clockwise square", {{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}}, 1, 4, 0, 0, 1, 1},
        {"far square", {far}, 100, 40, 100, 200, 110, 210},
        {"square with a hole", {far, holeCw}, 96, 48, 100, 200, 110, 210},
        {"open ring: no closing step, no closing term", {{{1, 1}, {3, 1}, {3, 2}, {1, 2}}}, 3, 5, 1, 1, 3, 2},
        {"two rings in one part, the step between not counted",
         {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {5, 5}, {7, 5}, {7, 7}, {5, 7}, {5, 5}}}, 5, 12, 0, 0, 7, 7},
        {"a ring starting at the origin after another", {{{5, 5}, {6, 5}, {6, 6}, {5, 5}, {0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}},
         4.5, 8 + 2 + std::sqrt(2.0), 0, 0, 6, 6},
        {"a line (its area is not used)", {{{0, 0}, {3, 4}, {3, 10}}}, 15, 11, 0, 0, 3, 10},
        {"a point", {{{7, 8}}}, 0, 0, 7, 8, 7, 8},
        {"nothing", {}, 0, 0, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        std::vector<TShpParts> parts;
        for (const XY &p : c.parts)
            parts.push_back(part(p));
        const TMeasureResult m = measure::measureParts(parts);
        EXPECT_NEAR(m.Area, c.area, 1e-9) << c.what;
        EXPECT_NEAR(m.Length, c.length, 1e-9) << c.what;
        EXPECT_EQ(m.MinX, c.minX) << c.what;
        EXPECT_EQ(m.MinY, c.minY) << c.what;
        EXPECT_EQ(m.MaxX, c.maxX) << c.what;
        EXPECT_EQ(m.MaxY, c.maxY) << c.what;
    }
}

TEST(BufferZones, RingsBandsAndPolygons)
{
    const XY square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};   // counter-clockwise
    // To the right of a counter-clockwise ring is outside; the closed source
    // gives a closed ring, each vertex on the diagonal of its source vertex.
    expectPoints(buffer::polygonRing(part(square).Points, 1), {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}},
                 "square outward");
    expectPoints(buffer::polygonRing(part(square).Points, -1), {{1, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 1}},
                 "square inward");
    // An open ring is taken as closed: the first and last points are neighbours.
    expectPoints(buffer::polygonRing(part({{0, 0}, {10, 0}, {10, 10}, {0, 10}}).Points, 1),
                 {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}}, "open square");

    // A band with square ends flush with the line's ends.
    expectPoints(buffer::lineBand(part({{0, 0}, {10, 0}}).Points, 1), {{0, -1}, {10, -1}, {10, 1}, {0, 1}, {0, -1}},
                 "band right");
    expectPoints(buffer::lineBand(part({{0, 0}, {10, 0}}).Points, -1), {{0, 1}, {10, 1}, {10, -1}, {0, -1}, {0, 1}},
                 "band left");
    expectPoints(buffer::lineBand(part({{0, 0}, {10, 0}, {10, 10}}).Points, 1),
                 {{0, -1}, {11, -1}, {11, 10}, {9, 10}, {9, 1}, {0, 1}, {0, -1}}, "bent band");

    // Four vertices: the pi/4 turn makes an axis-aligned square.
    const double h = std::sqrt(0.5) * 2;
    const auto squares = buffer::pointPolygons(part({{5, 5}}).Points, 4, 2);
    ASSERT_EQ(squares.size(), 1u);
    expectPoints(squares[0], {{5 + h, 5 + h}, {5 + h, 5 - h}, {5 - h, 5 - h}, {5 - h, 5 + h}, {5 + h, 5 + h}},
                 "square around a point");
    // Each point of a part gets its own polygon; a closing point none.
    const auto hexagons = buffer::pointPolygons(part({{0, 0}, {10, 0}, {0, 0}}).Points, 6, 1);
    ASSERT_EQ(hexagons.size(), 2u);
    expectPoints(hexagons[1], {{11, 0}, {10.5, -0.866025}, {9.5, -0.866025}, {9, 0}, {9.5, 0.866025},
                               {10.5, 0.866025}, {11, 0}}, "hexagon");
    EXPECT_TRUE(buffer::pointPolygons(part({{0, 0}}).Points, 2, 1).empty());
}

TEST(BufferZones, DegenerateSourcesGiveFiniteZones)
{
    auto finite = [](const std::vector<TShpPoint> &points, double limit) {
        for (const TShpPoint &p : points)
            if (!std::isfinite(p.X) || !std::isfinite(p.Y) || std::fabs(p.X) > limit || std::fabs(p.Y) > limit)
                return false;
        return true;
    };
    // A line that turns back onto itself: the turning vertex is offset by the
    // distance, not to infinity.
    const auto turnBack = buffer::lineBand(part({{0, 0}, {10, 0}, {0, 0}}).Points, 1);
    ASSERT_EQ(turnBack.size(), 7u);
    EXPECT_TRUE(finite(turnBack, 12));
    EXPECT_NEAR(std::hypot(turnBack[1].X - 10, turnBack[1].Y), 1, 1e-9);
    const auto spike = buffer::polygonRing(part({{0, 0}, {10, 0}, {20, 0}, {10, 0}, {0, 0}}).Points, 2);
    EXPECT_TRUE(finite(spike, 23));
    // Sharp but not turned back: the bisector distance stays.
    const auto sharp = buffer::lineBand(part({{0, 0}, {10, 0}, {0, 1}}).Points, 1);
    EXPECT_GT(std::hypot(sharp[1].X - 10, sharp[1].Y), 10);
    EXPECT_TRUE(finite(sharp, 40));

    // One point: a line gives no band, a point gets a polygon starting along
    // the first axis, a polygon part a single finite point.
    EXPECT_TRUE(buffer::lineBand(part({{3, 4}}).Points, 1).empty());
    const auto one = buffer::pointPolygons(part({{3, 4}}).Points, 6, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0][0].X, 4, 1e-12);
    EXPECT_NEAR(one[0][0].Y, 4, 1e-12);
    EXPECT_TRUE(finite(buffer::polygonRing(part({{3, 4}}).Points, 1), 6));
    // Repeated points stay finite.
    EXPECT_TRUE(finite(buffer::lineBand(part({{1, 1}, {1, 1}, {5, 1}}).Points, 1), 7));
}
