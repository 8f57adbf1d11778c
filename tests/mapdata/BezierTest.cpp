// Smoothed lines: control points from the bisector at each vertex, 20 straight
// lines per segment, drawn on a canvas that records the pen moves.

#include "mapdata/VykMapFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace VykMapFunctions;

namespace {

struct RecordingCanvas {
    struct Step {
        bool move;
        int x, y;
    };
    std::vector<Step> steps;
    void MoveTo(int x, int y) { steps.push_back({true, x, y}); }
    void LineTo(int x, int y) { steps.push_back({false, x, y}); }

    int lines() const
    {
        int n = 0;
        for (const Step &s : steps)
            n += s.move ? 0 : 1;
        return n;
    }
    std::vector<QPoint> moves() const
    {
        std::vector<QPoint> m;
        for (const Step &s : steps)
            if (s.move)
                m.emplace_back(s.x, s.y);
        return m;
    }
};

constexpr float kPi = std::numbers::pi_v<float>;

TEST(VectorAngle, QuadrantsFromThePositiveFirstAxis)
{
    struct Case {
        float dx, dy, angle;
    } const cases[] = {
        {1, 0, 0},           {0, 0, 0},           {0, 1, kPi / 2},     {0, -1, 3 * kPi / 2},
        {-1, 0, kPi},        {1, 1, kPi / 4},     {-1, 1, 3 * kPi / 4}, {-1, -1, 5 * kPi / 4},
        {1, -1, 7 * kPi / 4}, {-3, -0.0f, kPi},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        EXPECT_NEAR(VectorAngle(c.dx, c.dy), c.angle, 1e-6);
    }
}

TEST(BezierControlPoint, TangentAcrossTheBisectorAtThirtyPercent)
{
    // Directions 5pi/4 and 7pi/4 from the vertex: the tangent is horizontal.
    const TBezierPoint n = BezierControlPoint({0, 0}, {100, 100}, {200, 0});
    const float r = std::sqrt(100.0f * 100.0f * 2.0f) * 0.3f;
    EXPECT_EQ(n.X, 100);
    EXPECT_EQ(n.Y, 100);
    EXPECT_NEAR(n.InX, 100 - r, 1e-3);
    EXPECT_NEAR(n.InX, 57.57, 0.01);
    EXPECT_NEAR(n.InY, 100, 1e-3);
    EXPECT_NEAR(n.OutX, 142.43, 0.01);
    EXPECT_NEAR(n.OutY, 100, 1e-3);

    // Unequal neighbours: each control point takes 30 % of its own side's length.
    const TBezierPoint straight = BezierControlPoint({0, 0}, {100, 0}, {300, 0});
    EXPECT_NEAR(straight.InX, 70, 1e-3);
    EXPECT_NEAR(straight.InY, 0, 1e-3);
    EXPECT_NEAR(straight.OutX, 160, 1e-3);
    EXPECT_NEAR(straight.OutY, 0, 1e-3);

    // A neighbour on the vertex puts that side's control point on the vertex.
    const TBezierPoint coincident = BezierControlPoint({10, 10}, {10, 10}, {50, 10});
    EXPECT_EQ(coincident.InX, 10.0f);
    EXPECT_EQ(coincident.InY, 10.0f);
    const TBezierPoint coincidentNext = BezierControlPoint({0, 40}, {10, 10}, {10, 10});
    EXPECT_EQ(coincidentNext.OutX, 10.0f);
    EXPECT_EQ(coincidentNext.OutY, 10.0f);
}

TEST(BezierPoint, EndsAtTheVerticesAndRoundsHalvesToEven)
{
    TBezierPoint p; // (0, 0) with its control points on it
    TBezierPoint q;
    q.X = 4;
    q.InX = q.OutX = 4;
    EXPECT_EQ(BezierPoint(p, q, 0.0f), QPoint(0, 0));
    EXPECT_EQ(BezierPoint(p, q, 1.0f), QPoint(4, 0));
    // At t = 1/2 the weights are 1/8, 3/8, 3/8, 1/8: x = 4 * (3/8 + 1/8) = 2.
    EXPECT_EQ(BezierPoint(p, q, 0.5f), QPoint(2, 0));
    // Only the end vertex weighs: x = 4 / 8 = 0.5 and 12 / 8 = 1.5.
    q.InX = 0;
    EXPECT_EQ(BezierPoint(p, q, 0.5f), QPoint(0, 0));
    q.X = 12;
    EXPECT_EQ(BezierPoint(p, q, 0.5f), QPoint(2, 0));
}

TEST(DrawBezierPolyline, OpenTwoPointsIsTwentyLinesOnTheSegment)
{
    const std::vector<QPoint> points{{0, 0}, {100, 0}};
    RecordingCanvas canvas;
    DrawBezierPolyline(canvas, std::span<const QPoint>(points));
    ASSERT_EQ(canvas.steps.size(), 21u);
    EXPECT_EQ(canvas.lines(), 20);
    EXPECT_TRUE(canvas.steps.front().move);
    EXPECT_EQ(canvas.moves(), std::vector<QPoint>{QPoint(0, 0)});
    int lastX = 0;
    for (std::size_t i = 1; i < canvas.steps.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(canvas.steps[i].y, 0);
        EXPECT_GE(canvas.steps[i].x, lastX);
        lastX = canvas.steps[i].x;
    }
    EXPECT_EQ(canvas.steps.back().x, 100);
    // With the control points on the vertices x(t) = 100 (3t^2 - 2t^3): slow at the ends.
    EXPECT_EQ(canvas.steps[1].x, 1);  // 0.725
    EXPECT_EQ(canvas.steps[10].x, 50);
}

TEST(DrawBezierPolyline, ThreePointsPassTheMiddleVertexHorizontally)
{
    const std::vector<QPoint> points{{0, 0}, {100, 100}, {200, 0}};
    RecordingCanvas canvas;
    DrawBezierPolyline(canvas, std::span<const QPoint>(points));
    EXPECT_EQ(canvas.lines(), 40);
    EXPECT_EQ(canvas.moves(), (std::vector<QPoint>{{0, 0}, {100, 100}}));
    // Lines 20 (end of the first segment) and 22 (first step of the second) meet
    // the vertex from both sides at the same height, mirrored.
    const auto &before = canvas.steps[19];
    const auto &vertex = canvas.steps[20];
    const auto &after = canvas.steps[22];
    EXPECT_EQ(vertex.x, 100);
    EXPECT_EQ(vertex.y, 100);
    EXPECT_EQ(before.y, after.y);
    EXPECT_EQ(before.x + after.x, 200);
    EXPECT_GE(before.y, 99); // flat through the vertex
    for (const auto &s : canvas.steps)
        EXPECT_LE(s.y, 100);
}

TEST(DrawBezierPolyline, ClosedLineIsSmoothAtTheSeam)
{
    const std::vector<QPoint> square{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    const TArrayBezierPoint nodes = MakeBezierNodes(square);
    ASSERT_EQ(nodes.size(), 5u);
    // First and last node are the same vertex with the same control points, taken
    // from the neighbours on both sides of the seam.
    EXPECT_EQ(nodes.front().InX, nodes.back().InX);
    EXPECT_EQ(nodes.front().InY, nodes.back().InY);
    EXPECT_EQ(nodes.front().OutX, nodes.back().OutX);
    EXPECT_EQ(nodes.front().OutY, nodes.back().OutY);
    // In, vertex and Out on one line (no kink), and off the vertex.
    const TBezierPoint &seam = nodes.front();
    const float cross = (seam.InX - seam.X) * (seam.OutY - seam.Y) - (seam.InY - seam.Y) * (seam.OutX - seam.X);
    EXPECT_NEAR(cross, 0.0f, 1e-2);
    EXPECT_NEAR(seam.InX, -21.21f, 0.01);
    EXPECT_NEAR(seam.InY, 21.21f, 0.01);

    RecordingCanvas canvas;
    DrawBezierPolyline(canvas, std::span<const QPoint>(square));
    EXPECT_EQ(canvas.lines(), 80);
    EXPECT_EQ(canvas.moves(), (std::vector<QPoint>{{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
    EXPECT_EQ(canvas.steps.back().x, 0);
    EXPECT_EQ(canvas.steps.back().y, 0);

    // The same points not closed leave the end control points on the vertices.
    const std::vector<QPoint> open{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 1}};
    const TArrayBezierPoint openNodes = MakeBezierNodes(open);
    EXPECT_EQ(openNodes.front().InX, 0.0f);
    EXPECT_EQ(openNodes.front().OutX, 0.0f);
    EXPECT_EQ(openNodes.back().InY, 1.0f);
    EXPECT_EQ(openNodes.back().OutY, 1.0f);
}

TEST(DrawBezierPolyline, FewerThanTwoPointsDrawNothing)
{
    for (const std::vector<QPoint> &points : {std::vector<QPoint>{}, std::vector<QPoint>{{5, 5}}}) {
        RecordingCanvas canvas;
        DrawBezierPolyline(canvas, std::span<const QPoint>(points));
        EXPECT_TRUE(canvas.steps.empty());
    }
}

} // namespace
