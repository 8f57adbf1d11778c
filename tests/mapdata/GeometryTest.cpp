// Plane geometry of the two helper units. The twins of the same job differ on
// purpose (nudges, distance 0); the tables pin each unit's own answers.

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Segments {
    double x1, y1, x2, y2;
};

// ---- Direction angles ----

struct DirectionCase {
    Segments s;
    double degrees;
};

const DirectionCase kDirections[] = {
    {{0, 0, 0, -5}, 270},   {{0, 0, -5, 0}, 180},  {{0, 0, 5, 0}, 0},
    {{0, 0, 0, 0}, 90},     {{3, 4, 3, 4}, 90},    {{0, 0, 0, 5}, 90},
    {{0, 0, 1, 1}, 45},     {{0, 0, -1, 1}, 135},  {{0, 0, -1, -1}, 225},
    {{0, 0, 1, -1}, 315},   {{10, 20, 10, 15}, 270}, {{10, 20, 10 + std::sqrt(3.0), 21}, 30},
};

TEST(DirectionAngle, DegreesAndRadiansFromTheFirstAxis)
{
    for (const DirectionCase &c : kDirections) {
        SCOPED_TRACE(testing::Message() << c.s.x1 << "," << c.s.y1 << " -> " << c.s.x2 << "," << c.s.y2);
        EXPECT_NEAR(VykFunctions::DirectionAngleDeg(c.s.x1, c.s.y1, c.s.x2, c.s.y2), c.degrees, 1e-12);
        EXPECT_NEAR(MapFunctions::DirectionAngleRad(c.s.x1, c.s.y1, c.s.x2, c.s.y2),
                    c.degrees * kPi / 180.0, 1e-14);
    }
}

TEST(DirectionAngleOffset, ZeroDifferencesCountAsOneHundredThousandthAndSumsAreNotWrapped)
{
    const double nudge = std::atan(0.00001 / 5.0) * 180.0 / kPi; // angle of a nudged axis direction
    struct Case {
        Segments s;
        double angle, expected;
    } const cases[] = {
        {{0, 0, 1, 1}, 0, 45},
        {{0, 0, -1, 1}, 0, 135},
        {{0, 0, -1, -1}, 0, 225},
        {{0, 0, 1, -1}, 0, 315},
        {{0, 0, 0, 0}, 0, 45},             // both differences nudged
        {{0, 0, 5, 0}, 0, nudge},          // just above the axis
        {{0, 0, -5, 0}, 0, 180 - nudge},
        {{0, 0, 0, 5}, 0, 90 - nudge},
        {{0, 0, 0, -5}, 0, 270 + nudge},
        {{0, 0, 1, -1}, 90, 405},          // not brought back into 0..360
        {{0, 0, 1, 1}, -90, -45},
        {{2, 2, 3, 3}, 10.5, 55.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.s.x2 << "," << c.s.y2 << " + " << c.angle);
        EXPECT_NEAR(VykFunctions::DirectionAngleOffset(c.s.x1, c.s.y1, 7, c.s.x2, c.s.y2, -3, c.angle),
                    c.expected, 1e-9);
    }
    EXPECT_NE(VykFunctions::DirectionAngleOffset(0, 0, 0, 0, 5, 0, 0), 90.0);
    // The heights take no part.
    EXPECT_EQ(VykFunctions::DirectionAngleOffset(0, 0, 0, 3, 4, 0, 0),
              VykFunctions::DirectionAngleOffset(0, 0, 100, 3, 4, -50, 0));
}

TEST(SafeAtanAngle, NoQuadrantsAndZeroToFiveDecimalsNudged)
{
    struct Case {
        Segments s;
        double expected;
    } const cases[] = {
        {{0, 0, 1, 1}, kPi / 4},
        {{0, 0, -1, 1}, -kPi / 4},                        // no quadrant correction
        {{0, 0, -1, -1}, kPi / 4},
        {{0, 0, 0, 5}, std::atan(5 / -0.00001)},          // first difference 0: -0.00001
        {{0, 0, 0.000004, 5}, std::atan(5 / (0.000004 - 0.00001))}, // 0 to five decimals
        {{0, 0, 0.00001, 5}, std::atan(5 / 0.00001)},      // not 0 to five decimals
        {{0, 0, 5, 0}, std::atan(-0.00001 / 5)},          // second difference nudged
        {{0, 0, 0, 0}, 0},                                // only the first is nudged
        {{1, 1, 1, 1.000002}, std::atan(0.000002 / -0.00001)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.s.x2 << "," << c.s.y2);
        EXPECT_NEAR(VykFunctions::SafeAtanAngle(c.s.x1, c.s.y1, c.s.x2, c.s.y2), c.expected, 1e-9);
    }
}

// ---- Angle between directions (both units answer alike) ----

TEST(AngleBetweenDirections, TwinsAgreeOnTheTurnTable)
{
    const double axisNudge = std::atan(0.001 / 5.0) * 180.0 / kPi;
    struct Case {
        const char *what;
        Segments first, second;
        double expected;
    } const cases[] = {
        {"same direction", {1, 1, 3, 3}, {5, 5, 6, 6}, 0},
        {"opposite", {1, 1, 2, 2}, {2, 2, 1, 1}, -180},
        {"left turn", {1, 1, 2, 2}, {1, 1, 0, 2}, 90},
        {"right turn", {1, 1, 2, 2}, {1, 1, 2, 0}, -90},
        {"first axis then second axis", {1, 1, 6, 1}, {1, 1, 1, 6}, 90 - 2 * axisNudge},
        {"a point is taken as 45 degrees", {1, 1, 1, 1}, {1, 1, 2, 2}, 0},
        // Starting at the origin counts as direction 0 before the quadrant rules:
        // (0,0)->(-5,5) becomes 180 degrees, (0,0)->(5,5) becomes 0.
        {"second starts at the origin, second quadrant", {1, 1, 2, 2}, {0, 0, -5, 5}, 135},
        {"second starts at the origin, first quadrant", {1, 1, 2, 2}, {0, 0, 5, 5}, -45},
        {"first starts at the origin", {0, 0, 5, 5}, {1, 1, 2, 2}, 45},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const double vyk = VykFunctions::AngleBetweenDirections(c.first.x1, c.first.y1, c.first.x2, c.first.y2,
                                                                c.second.x1, c.second.y1, c.second.x2, c.second.y2);
        const double map = MapFunctions::AngleBetweenDirections(c.first.x1, c.first.y1, c.first.x2, c.first.y2,
                                                                c.second.x1, c.second.y1, c.second.x2, c.second.y2);
        EXPECT_NEAR(vyk, c.expected, 1e-9);
        EXPECT_EQ(vyk, map);
    }
    EXPECT_NE(VykFunctions::AngleBetweenDirections(1, 1, 6, 1, 1, 1, 1, 6), 90.0);
}

// ---- Points at a distance and direction ----

TEST(PolarPoint, SumOfAnglesReducedOnceIntoTheCircle)
{
    struct Case {
        int x0, y0;
        double a, b, d, x, y;
    } const cases[] = {
        {0, 0, 30, 60, 10, 0, 10},
        {0, 0, 300, 90, 10, 10 * std::sqrt(3.0) / 2, 5},  // 390 -> 30
        {0, 0, -10, -20, 10, 10 * std::sqrt(3.0) / 2, -5}, // -30 -> 330
        {100, 200, 180, 0, 5, 95, 200},
        {100, 200, 0, 0, 2.5, 102.5, 200},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "+" << c.b);
        const VykFunctions::TRealPoint p = VykFunctions::PolarPoint(c.x0, c.y0, c.a, c.b, c.d);
        EXPECT_NEAR(p.X, c.x, 1e-12);
        EXPECT_NEAR(p.Y, c.y, 1e-12);
    }
}

TEST(RotatePointAbout, TurnsCounterClockwiseAndKeepsTheRecordHeight)
{
    struct Case {
        double qx, qy, angle, x, y;
    } const cases[] = {
        {10, 0, 90, 0, 10},  {0, 10, 90, -10, 0}, {-10, 0, 90, 0, -10},
        {0, -10, 90, 10, 0}, {3, 4, 180, -3, -4}, {3, 4, -90, 4, -3},
        {5, 5, 0, 5, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.qx << "," << c.qy << " by " << c.angle);
        VykFunctions::TPointXYZ rec{0, 0, 99};
        VykFunctions::RotatePointAbout(rec, 0, 0, 1, c.qx, c.qy, 7, 0, 0, 0, c.angle);
        EXPECT_NEAR(rec.X, c.x, 1e-12);
        EXPECT_NEAR(rec.Y, c.y, 1e-12);
        EXPECT_EQ(rec.Z, 99);
    }
}

TEST(RotatePointAbout, SubstitutePivotCarriesThePoint)
{
    // X and Z of the substitute replace the pivot's (the point moves along);
    // its Y of 0 leaves the pivot's Y.
    VykFunctions::TPointXYZ rec{0, 0, 99};
    VykFunctions::RotatePointAbout(rec, 1, 1, 1, 2, 1, 5, 10, 0, 3, 90);
    EXPECT_NEAR(rec.X, 10, 1e-12);
    EXPECT_NEAR(rec.Y, 2, 1e-12);
    EXPECT_EQ(rec.Z, 99);

    // A point on the (moved) pivot comes back moved, with its moved height.
    VykFunctions::RotatePointAbout(rec, 1, 1, 1, 1, 1, 4, 5, 0, 2, 90);
    EXPECT_EQ(rec.X, 5);
    EXPECT_EQ(rec.Y, 1);
    EXPECT_EQ(rec.Z, 5);
}

TEST(PointAlongDirection, TwinsDifferOnDistanceZeroAndOnTheAxisNudge)
{
    // Distance 0: the full length in VykFunctions, the start point in MapFunctions.
    VykFunctions::TControlPointRecord rec;
    rec.Kind = 7;
    rec.Number = QStringLiteral("x");
    rec.Tag1 = 5;
    rec.Tag2 = 6;
    VykFunctions::PointAlongDirection(rec, 0, 0, 0, 3, 4, 10, 0, 0);
    EXPECT_NEAR(rec.X, 3, 1e-12);
    EXPECT_NEAR(rec.Y, 4, 1e-12);
    EXPECT_NEAR(rec.Z, 10, 1e-12);
    EXPECT_EQ(rec.Kind, 1);
    EXPECT_EQ(rec.Number, QStringLiteral("1"));
    EXPECT_EQ(rec.Tag1, 0);
    EXPECT_EQ(rec.Tag2, 0);

    const MapFunctions::TPointAlong start = MapFunctions::PointAlongDirection(0, 0, 0, 3, 4, 10, 0, 0);
    EXPECT_EQ(start.Kind, 1);
    EXPECT_EQ(start.X, 0);
    EXPECT_EQ(start.Y, 0);
    EXPECT_EQ(start.Z, 0);

    // Along the first axis MapFunctions lifts the direction by the 0.00001
    // substitute; VykFunctions stays on the axis.
    VykFunctions::PointAlongDirection(rec, 0, 0, 0, 10, 0, 0, 0, 10);
    EXPECT_NEAR(rec.X, 10, 1e-12);
    EXPECT_NEAR(rec.Y, 0, 1e-12);
    const MapFunctions::TPointAlong lifted = MapFunctions::PointAlongDirection(0, 0, 0, 10, 0, 0, 0, 10);
    EXPECT_NEAR(lifted.Y, 10 * std::sin(std::atan(0.00001 / 10)), 1e-15);
    EXPECT_GT(lifted.Y, 1e-6);
}

TEST(PointAlongDirection, DirectionsAndTurnsInBothUnits)
{
    struct Case {
        Segments s;
        double turn, distance, x, y;
    } const cases[] = {
        {{0, 0, 3, 4}, 0, 10, 6, 8},
        {{0, 0, 10, 0}, 90, 5, 0, 5},
        {{0, 0, 10, 0}, -90, 5, 0, -5},
        {{1, 1, -9, 1}, 0, 4, -3, 1},
        {{0, 0, -3, -4}, 0, 5, -3, -4},
        {{0, 0, 3, -4}, 0, 5, 3, -4},
        {{0, 0, -3, 4}, 180, 5, 3, -4},
        // Straight along the second axis.
        {{0, 0, 0, 10}, 0, 4, 0, 4},
        {{2, 0, 2, -10}, 0, 4, 2, -4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.s.x1 << "," << c.s.y1 << " -> " << c.s.x2 << "," << c.s.y2
                                        << " turn " << c.turn);
        VykFunctions::TControlPointRecord rec;
        VykFunctions::PointAlongDirection(rec, c.s.x1, c.s.y1, 0, c.s.x2, c.s.y2, 0, c.turn, c.distance);
        EXPECT_NEAR(rec.X, c.x, 1e-9);
        EXPECT_NEAR(rec.Y, c.y, 1e-9);
        const MapFunctions::TPointAlong p =
            MapFunctions::PointAlongDirection(c.s.x1, c.s.y1, 0, c.s.x2, c.s.y2, 0, c.turn, c.distance);
        EXPECT_NEAR(p.X, c.x, 1e-4);
        EXPECT_NEAR(p.Y, c.y, 1e-4);
    }
}

TEST(PointAlongDirection, HeightFollowsTheSlopeWithinTheEndHeights)
{
    struct Case {
        double z1, z2, distance, z;
    } const cases[] = {
        {10, 20, 5, 15}, {10, 20, 20, 20}, {10, 20, -5, 10}, {20, 10, 2.5, 17.5}, {4, 4, 7, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.z1 << ".." << c.z2 << " at " << c.distance);
        // Far from the coordinate origin, so that only the distance from point 1 counts.
        VykFunctions::TControlPointRecord rec;
        VykFunctions::PointAlongDirection(rec, 1000, 2000, c.z1, 1010, 2000, c.z2, 0, c.distance);
        EXPECT_NEAR(rec.Z, c.z, 1e-9);
        EXPECT_NEAR(MapFunctions::PointAlongDirection(1000, 2000, c.z1, 1010, 2000, c.z2, 0, c.distance).Z,
                    c.z, 1e-9);
    }
    // Coinciding points: the first height.
    VykFunctions::TControlPointRecord rec;
    VykFunctions::PointAlongDirection(rec, 2, 3, 4, 2, 3, 9, 0, 0);
    EXPECT_EQ(rec.X, 2);
    EXPECT_EQ(rec.Y, 3);
    EXPECT_EQ(rec.Z, 4);
}

// ---- Degrees, minutes, seconds ----

TEST(DegToDMS, SignOnTheFirstNonZeroPartAndSixtySecondsCarry)
{
    struct Case {
        double value;
        int degrees, minutes;
        double seconds;
    } const cases[] = {
        {-0.5, 0, -30, 0},
        {10.99999999, 10, 60, 0}, // carry into the minutes, degrees untouched
        {1.999999, 1, 60, 0},     // 59.9964 s shows as 60.00
        {1.99999, 1, 59, 59.964},  // 59.964 s does not
        {10.5, 10, 30, 0},
        {-10.5, -10, 30, 0},
        {30.2625, 30, 15, 45},
        {-0.001, 0, 0, -3.6},
        {0.1234, 0, 7, 24.24},
        {0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const VykFunctions::TDegMinSec r = VykFunctions::DegToDMS(c.value);
        EXPECT_EQ(r.Degrees, c.degrees);
        EXPECT_EQ(r.Minutes, c.minutes);
        EXPECT_NEAR(r.Seconds, c.seconds, 1e-6);
    }
    // Seconds are kept unrounded.
    EXPECT_NE(VykFunctions::DegToDMS(1.99999).Seconds, 59.96);
}

TEST(DegToDMS, ValuesBeyondTheIntegerRangeDoNotOverflow)
{
    EXPECT_EQ(VykFunctions::DegToDMS(1e300).Degrees, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(VykFunctions::DegToDMS(-1e300).Degrees, -std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(VykFunctions::DegToDMS(kNaN).Degrees, 0);
}

// ---- Crossings ----

TEST(IntersectSegments, ModeTable)
{
    struct Case {
        const char *what;
        Segments a, b;
        int flags[4]; // modes 0..3
        double x, y;
    } const cases[] = {
        {"crossing inside both", {0, 0, 10, 10}, {0, 10, 10, 0}, {1, 1, 1, 1}, 5, 5},
        {"crossing beyond B", {0, 0, 10, 10}, {0, 10, 4, 6}, {1, 0, 0, 1}, 5, 5},
        {"crossing beyond A", {0, 0, 4, 4}, {0, 10, 10, 0}, {0, 0, 0, 0}, 5, 5},
        {"crossing on A's end point", {0, 0, 10, 10}, {20, 0, 0, 20}, {0, 0, 1, 1}, 10, 10},
        {"crossing on A's start point", {10, 10, 0, 0}, {20, 0, 0, 20}, {1, 1, 1, 1}, 10, 10},
        // Parallel lines: the start point of A, accepted by what the mode asks.
        {"parallel", {0, 0, 10, 10}, {0, 5, 10, 15}, {1, 0, 0, 1}, 0, 0},
        {"parallel, slanted", {0, 0, 4, 3}, {0, 5, 8, 11}, {1, 0, 0, 1}, 0, 0},
        {"parallel to the second axis", {0, 0, 0, 10}, {5, 0, 5, 10}, {1, 0, 0, 1}, 0, 0},
        {"collinear overlap", {0, 0, 10, 10}, {-5, -5, 5, 5}, {1, 1, 1, 1}, 0, 0},
    };
    for (const Case &c : cases) {
        for (int mode = 0; mode < 4; ++mode) {
            SCOPED_TRACE(testing::Message() << c.what << ", mode " << mode);
            const MapFunctions::TCrossing q =
                MapFunctions::IntersectSegments(mode, c.a.x1, c.a.y1, c.a.x2, c.a.y2, c.b.x1, c.b.y1, c.b.x2, c.b.y2);
            EXPECT_EQ(q.Flag, c.flags[mode]);
            EXPECT_NEAR(q.X, c.x, 1e-9);
            EXPECT_NEAR(q.Y, c.y, 1e-9);
        }
        for (int mode : {-1, 4, 9}) {
            SCOPED_TRACE(testing::Message() << c.what << ", mode " << mode);
            EXPECT_EQ(MapFunctions::IntersectSegments(mode, c.a.x1, c.a.y1, c.a.x2, c.a.y2, c.b.x1, c.b.y1,
                                                      c.b.x2, c.b.y2).Flag, 0);
        }
    }
}

TEST(IntersectSegments, AxisParallelLinesAreTiltedByTheNudge)
{
    // A vertical side is taken with a slope of -1/0.001, so the crossing with a
    // horizontal line lies a hair off the side.
    const MapFunctions::TCrossing q = MapFunctions::IntersectSegments(2, 0, 0, 0, 10, -10, 5, 20, 5);
    EXPECT_EQ(q.Flag, 1);
    EXPECT_NEAR(q.X, 0, 1e-3);
    EXPECT_NE(q.X, 0);
    EXPECT_NEAR(q.Y, 5, 1e-3);
}

// ---- Tolerances ----

TEST(PointNearPoint, ToleranceBoundsInclusivePerAxis)
{
    struct Case {
        double x2, y2, tx, ty;
        bool near;
    } const cases[] = {
        {1, 2, 1, 2, true}, {-1, -2, 1, 2, true}, {1, 2, 1, 1.9, false},
        {1.1, 0, 1, 2, false}, {0, 0, 0, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x2 << "," << c.y2);
        EXPECT_EQ(MapFunctions::PointNearPoint(0, 0, c.x2, c.y2, c.tx, c.ty), c.near);
    }
}

TEST(PointOnSegment, DetourShorterThanTheTolerance)
{
    struct Case {
        double x, y, tol;
        bool on;
    } const cases[] = {
        {5, 0, 0.001, true},
        {5, 0.1, 0.001, false}, // detour 0.0019996
        {5, 0.1, 0.01, true},
        {12, 0, 1, false},      // beyond the end: detour 4
        {0, 0, 0.001, true},
        {5, 0, 0, false},       // strictly less than the tolerance
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " tol " << c.tol);
        EXPECT_EQ(MapFunctions::PointOnSegment(0, 0, 10, 0, c.x, c.y, c.tol), c.on);
    }
}

// ---- Rectangles ----

TEST(PointRegionCode, NineRegionsEdgesInsideNaNZero)
{
    struct Case {
        double x, y;
        int code;
    } const cases[] = {
        {-1, 11, 1}, {5, 11, 2}, {11, 11, 3}, {-1, 5, 4}, {5, 5, 5},  {11, 5, 6},
        {-1, -1, 7}, {5, -1, 8}, {11, -1, 9}, {0, 5, 5},  {10, 10, 5}, {5, 0, 5},
        {0, 0, 5},   {kNaN, 5, 0}, {5, kNaN, 0}, {-1, kNaN, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(MapFunctions::PointRegionCode(0, 0, 10, 10, c.x, c.y), c.code);
    }
    EXPECT_EQ(MapFunctions::PointRegionCode(kNaN, 0, 10, 10, 5, 5), 0);
}

TEST(ClipSegmentToRect, VisiblePartAndCrossingCount)
{
    struct Case {
        const char *what;
        Segments s;
        int visible, count;
        double x1, y1, x2, y2;
        double tol; // crossings with a side lie a hair off it (the axis nudge)
    } const cases[] = {
        {"inside", {1, 1, 9, 9}, 1, 0, 1, 1, 9, 9, 0},
        {"inside on the bounds", {0, 0, 10, 10}, 1, 0, 0, 0, 10, 10, 0},
        {"left to right", {-10, 5, 20, 5}, 1, 2, 0, 5, 10, 5, 1e-2},
        {"right to left", {20, 5, -10, 5}, 1, 2, 0, 5, 10, 5, 1e-2},
        {"bottom to top", {5, -10, 5, 20}, 1, 2, 5, 10, 5, 0, 1e-2},
        {"from inside out", {5, 5, 20, 5}, 1, 1, 5, 5, 10, 5, 1e-2},
        {"from outside in", {-10, 5, 5, 5}, 1, 1, 0, 5, 5, 5, 1e-2},
        {"beside", {-10, 20, 20, 20}, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const MapFunctions::TClippedSegment r =
            MapFunctions::ClipSegmentToRect(0, 0, 10, 10, c.s.x1, c.s.y1, c.s.x2, c.s.y2);
        EXPECT_EQ(r.Visible, c.visible);
        EXPECT_EQ(r.Count, c.count);
        EXPECT_NEAR(r.X1, c.x1, c.tol);
        EXPECT_NEAR(r.Y1, c.y1, c.tol);
        EXPECT_NEAR(r.X2, c.x2, c.tol);
        EXPECT_NEAR(r.Y2, c.y2, c.tol);
    }
    // The end point inside is kept exactly.
    const MapFunctions::TClippedSegment in = MapFunctions::ClipSegmentToRect(0, 0, 10, 10, 5, 5, 20, 5);
    EXPECT_EQ(in.X1, 5);
    EXPECT_EQ(in.Y1, 5);
    const MapFunctions::TClippedSegment out = MapFunctions::ClipSegmentToRect(0, 0, 10, 10, -10, 5, 5, 5);
    EXPECT_EQ(out.X2, 5);
    EXPECT_EQ(out.Y2, 5);
}

TEST(SegmentAgainstRect, BoxCornerShortcutOnlyInIntersects)
{
    struct Case {
        const char *what;
        Segments s;
        bool intersects, enters;
    } const cases[] = {
        // The segment passes beside the rectangle, but its bounding box has the
        // corner (5, 5) inside: the quick test counts it.
        {"box corner inside, segment beside", {5, 20, 20, 5}, true, false},
        {"same, drawn the other way", {20, 5, 5, 20}, true, false},
        {"crossing through", {-5, 5, 15, 5}, true, true},
        {"in through the left side, out through the top", {-5, 5, 5, 13}, true, true},
        {"end point inside", {5, 5, 50, 50}, true, true},
        {"end point on the bound", {10, 10, 50, 50}, true, true},
        {"far away", {20, 20, 30, 40}, false, false},
        {"beside, box beside too", {-5, 11, 15, 12}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MapFunctions::SegmentIntersectsRect(0, 0, 10, 10, c.s.x1, c.s.y1, c.s.x2, c.s.y2), c.intersects);
        EXPECT_EQ(MapFunctions::SegmentEntersRect(0, 0, 10, 10, c.s.x1, c.s.y1, c.s.x2, c.s.y2), c.enters);
    }
}

// ---- Colour bytes ----

TEST(InvertColorBytes, ComplementLessShiftOrZero)
{
    struct Case {
        std::array<std::uint8_t, 3> in;
        int shift;
        std::array<std::uint8_t, 3> out;
    } const cases[] = {
        {{0, 100, 254}, 0, {255, 155, 1}},
        {{255, 0, 1}, 0, {0, 255, 254}},
        {{0, 100, 254}, 1, {254, 154, 0}}, // 254 + 1 exceeds 254
        {{200, 55, 199}, 55, {0, 145, 1}},
        {{10, 20, 30}, 255, {0, 0, 0}},
        {{0, 10, 255}, -10, {255, 255, 10}}, // a negative shift cannot leave the byte range
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shift);
        EXPECT_EQ(VykFunctions::InvertColorBytes(c.in, c.shift), c.out);
    }
}

} // namespace
