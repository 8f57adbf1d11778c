#include "mapdata/VykMapFunctions.h"

#include "platform/Rounding.h"

#include <cmath>

namespace VykMapFunctions {

namespace {

constexpr float kPi = 3.14159265358979f;

TBezierPoint vertexNode(QPoint P)
{
    TBezierPoint n;
    n.X = P.x();
    n.Y = P.y();
    n.InX = n.OutX = static_cast<float>(P.x());
    n.InY = n.OutY = static_cast<float>(P.y());
    return n;
}

} // namespace

float VectorAngle(float dx, float dy)
{
    if (dx == 0.0f) {
        if (dy == 0.0f)
            return 0.0f;
        return dy >= 0.0f ? kPi / 2.0f : 3.0f * kPi / 2.0f;
    }
    const float g = std::atan(std::fabs(dy) / std::fabs(dx));
    if (dy >= 0.0f)
        return dx > 0.0f ? g : kPi - g;
    return dx > 0.0f ? 2.0f * kPi - g : kPi + g;
}

TBezierPoint BezierControlPoint(QPoint A, QPoint B, QPoint C)
{
    const float toPrevX = static_cast<float>(A.x() - B.x());
    const float toPrevY = static_cast<float>(A.y() - B.y());
    const float toNextX = static_cast<float>(C.x() - B.x());
    const float toNextY = static_cast<float>(C.y() - B.y());
    const float a1 = VectorAngle(toPrevX, toPrevY);
    const float a2 = VectorAngle(toNextX, toNextY);
    // The tangent is square to the bisector; phi points to the previous vertex's side.
    const float m = (a1 + a2) / 2.0f;
    const float phi = a1 > a2 ? m + kPi / 2.0f : m - kPi / 2.0f;
    const float r1 = std::sqrt(toPrevX * toPrevX + toPrevY * toPrevY) * BezierTension / 100.0f;
    const float r2 = std::sqrt(toNextX * toNextX + toNextY * toNextY) * BezierTension / 100.0f;
    TBezierPoint n;
    n.X = B.x();
    n.Y = B.y();
    n.InX = static_cast<float>(B.x()) + r1 * std::cos(phi);
    n.InY = static_cast<float>(B.y()) + r1 * std::sin(phi);
    n.OutX = static_cast<float>(B.x()) + r2 * std::cos(phi + kPi);
    n.OutY = static_cast<float>(B.y()) + r2 * std::sin(phi + kPi);
    return n;
}

QPoint BezierPoint(const TBezierPoint &P, const TBezierPoint &Q, float t)
{
    const float u = 1.0f - t;
    const float w0 = u * u * u;
    const float w1 = 3.0f * t * u * u;
    const float w2 = 3.0f * t * t * u;
    const float w3 = t * t * t;
    const float x = w0 * static_cast<float>(P.X) + w1 * P.OutX + w2 * Q.InX
                    + w3 * static_cast<float>(Q.X);
    const float y = w0 * static_cast<float>(P.Y) + w1 * P.OutY + w2 * Q.InY
                    + w3 * static_cast<float>(Q.Y);
    return {platform::roundToInt(x), platform::roundToInt(y)};
}

TArrayBezierPoint MakeBezierNodes(std::span<const QPoint> Points)
{
    const std::size_t n = Points.size();
    if (n < 2)
        return {};
    TArrayBezierPoint nodes(n);
    const bool closed = Points.front() == Points.back();
    nodes.front() = closed ? BezierControlPoint(Points[n - 2], Points[0], Points[1])
                           : vertexNode(Points[0]);
    for (std::size_t i = 1; i + 1 < n; ++i)
        nodes[i] = BezierControlPoint(Points[i - 1], Points[i], Points[i + 1]);
    nodes.back() = closed ? BezierControlPoint(Points[n - 2], Points[n - 1], Points[1])
                          : vertexNode(Points[n - 1]);
    return nodes;
}

} // namespace VykMapFunctions
