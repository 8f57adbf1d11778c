#pragma once
// Smooth curves through the vertices of a line: each vertex gets two control points
// on the tangent across the bisector of its angle, and each segment is drawn as a
// cubic Bezier curve of short straight lines. Single precision throughout, as the
// drawn pixels depend on it.
//
// The drawing routines take any canvas offering MoveTo(int x, int y) and
// LineTo(int x, int y), drawing with its current pen.

#include <QPoint>

#include <cstdint>
#include <span>
#include <vector>

namespace VykMapFunctions {

// Straight lines per segment.
inline constexpr int BezierSteps = 20;
// Distance of a control point from its vertex, in percent of the distance to the
// neighbouring vertex.
inline constexpr int BezierTension = 30;

// One vertex of the curve with its control points: In on the side of the previous
// vertex, Out on the side of the next one.
struct TBezierPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    float InX = 0.0f;
    float InY = 0.0f;
    float OutX = 0.0f;
    float OutY = 0.0f;
};

using TArrayBezierPoint = std::vector<TBezierPoint>;

// Angle of the vector (dx, dy) in radians, 0..2 pi counter-clockwise from +x;
// the zero vector gives 0.
float VectorAngle(float dx, float dy);

// The node of vertex B, whose neighbours are A (previous) and C (next).
TBezierPoint BezierControlPoint(QPoint A, QPoint B, QPoint C);

// The point of the curve from node P to node Q at parameter t (0..1), rounded.
QPoint BezierPoint(const TBezierPoint &P, const TBezierPoint &Q, float t);

// The nodes of a line: a line whose last point equals its first is closed and
// smooth at the seam; the ends of an open line keep their control points on the
// vertex. Fewer than two points give no nodes.
TArrayBezierPoint MakeBezierNodes(std::span<const QPoint> Points);

template <class Canvas>
void DrawBezierSegment(Canvas &canvas, const TBezierPoint &P, const TBezierPoint &Q)
{
    canvas.MoveTo(P.X, P.Y);
    for (int k = 1; k < BezierSteps; ++k) {
        const QPoint p = BezierPoint(P, Q, static_cast<float>(k) / static_cast<float>(BezierSteps));
        canvas.LineTo(p.x(), p.y());
    }
    canvas.LineTo(Q.X, Q.Y);
}

template <class Canvas>
void DrawBezierPolyline(Canvas &canvas, std::span<const QPoint> Points)
{
    const TArrayBezierPoint nodes = MakeBezierNodes(Points);
    for (std::size_t i = 1; i < nodes.size(); ++i)
        DrawBezierSegment(canvas, nodes[i - 1], nodes[i]);
}

} // namespace VykMapFunctions
