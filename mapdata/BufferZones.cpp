// Buffer zones: the geometry, and the operations that commit the zones of the
// selected objects into a layer.

#include "mapdata/BufferZones.h"

#include "mapdata/MapDataCore.h"
#include "mapdata/MapFunctions.h"

#include <cmath>
#include <numbers>

namespace buffer {

namespace {

constexpr double kPi = std::numbers::pi;

// Beyond this ratio of bisector distance to offset the way has turned back
// onto itself (an angle below about 1.15 degrees).
constexpr double kMitreLimit = 100;

// Polygons above this many vertices would be records that the record stream
// passes over (it takes at most 10000 points).
constexpr int kMaxVertices = 9999;

TShpPoint point(double x, double y)
{
    TShpPoint p;
    p.X = x;
    p.Y = y;
    return p;
}

// The mirror of a through b.
TShpPoint mirror(const TShpPoint &a, const TShpPoint &b) { return point(2 * b.X - a.X, 2 * b.Y - a.Y); }

bool samePlace(const TShpPoint &a, const TShpPoint &b) { return a.X == b.X && a.Y == b.Y; }

} // namespace

TShpPoint offsetVertex(const TShpPoint &p, const TShpPoint &c, const TShpPoint &n, double x)
{
    const double t = MapFunctions::DirectionAngleRad(c.X, c.Y, n.X, n.Y);
    // The turn from the way N to C to the way P to C, 0 to 2 pi (pi on a
    // straight run). Taken exactly: the shared angle routine reads a segment
    // that starts at the origin as pointing along the first axis and nudges
    // axis-parallel ones, which would shift zones off their distance.
    double inner = std::atan2(c.Y - p.Y, c.X - p.X) - std::atan2(c.Y - n.Y, c.X - n.X);
    inner = std::fmod(inner, 2 * kPi);
    if (inner < 0)
        inner += 2 * kPi;
    const double half = (2 * kPi - inner) / 2;
    const double s = std::fabs(std::cos(half - kPi / 2)); // |sin(inner / 2)|
    const double d = s * kMitreLimit >= 1 ? x / s : x;
    return point(c.X + d * std::cos(t - half), c.Y + d * std::sin(t - half));
}

std::vector<TShpPoint> polygonRing(const std::vector<TShpPoint> &ring, double x)
{
    std::vector<TShpPoint> out;
    const size_t n = ring.size();
    if (n == 0)
        return out;
    const bool closed = samePlace(ring.front(), ring.back());
    out.reserve(n);
    for (size_t j = 0; j < n; ++j) {
        const TShpPoint &p = j > 0 ? ring[j - 1] : !closed ? ring[n - 1] : n < 3 ? ring[j] : ring[n - 2];
        const TShpPoint &nx = j + 1 < n ? ring[j + 1] : !closed ? ring[0] : n < 3 ? ring[j] : ring[1];
        out.push_back(offsetVertex(p, ring[j], nx, x));
    }
    return out;
}

std::vector<TShpPoint> lineBand(const std::vector<TShpPoint> &line, double x)
{
    std::vector<TShpPoint> out;
    const size_t n = line.size();
    if (n < 2)
        return out; // no direction to build a band along
    const TShpPoint before = mirror(line[1], line[0]);
    const TShpPoint after = mirror(line[n - 2], line[n - 1]);
    out.reserve(2 * n + 1);
    for (size_t j = 0; j < n; ++j)
        out.push_back(offsetVertex(j > 0 ? line[j - 1] : before, line[j], j + 1 < n ? line[j + 1] : after, x));
    for (size_t k = n; k-- > 0;)
        out.push_back(offsetVertex(k + 1 < n ? line[k + 1] : after, line[k], k > 0 ? line[k - 1] : before, x));
    out.push_back(out.front());
    return out;
}

std::vector<std::vector<TShpPoint>> pointPolygons(const std::vector<TShpPoint> &part, int n, double r)
{
    std::vector<std::vector<TShpPoint>> out;
    if (n < 3)
        return out;
    n = std::min(n, kMaxVertices);
    size_t m = part.size();
    if (m > 1 && samePlace(part.front(), part.back()))
        --m;
    for (size_t j = 0; j < m; ++j) {
        const TShpPoint &c = part[j];
        // A part of one point has no step to take a direction from.
        double t = 0;
        if (j > 0)
            t = MapFunctions::DirectionAngleRad(part[j - 1].X, part[j - 1].Y, c.X, c.Y);
        else if (part.size() > 1) {
            const TShpPoint p = mirror(part[1], part[0]);
            t = MapFunctions::DirectionAngleRad(p.X, p.Y, c.X, c.Y);
        }
        if (n == 4)
            t += kPi / 4;
        std::vector<TShpPoint> polygon;
        polygon.reserve(static_cast<size_t>(n) + 1);
        for (int k = 0; k < n; ++k) {
            const double angle = t - k * 2 * kPi / n;
            polygon.push_back(point(c.X + r * std::cos(angle), c.Y + r * std::sin(angle)));
        }
        polygon.push_back(polygon.front());
        out.push_back(std::move(polygon));
    }
    return out;
}

} // namespace buffer

// ---------------------------------------------------------------------------
// The operations

void MapDataCore::commitZones(int layer, const std::function<std::vector<std::vector<TShpPoint>>(const TShpParts &)> &zonesOf)
{
    const std::vector<TSelObject> entries = selectionEntries();
    // The figure is emptied and the drawing flag cleared however the loop
    // ends (a commit may raise the database engine's error).
    struct Figure {
        TNewObject &o;
        explicit Figure(TNewObject &obj) : o(obj) { o.clearFigure(); o.Drawing = true; }
        ~Figure() { o.clearFigure(); o.Drawing = false; }
    } figure(FNewObject);
    for (const TSelObject &entry : entries) {
        TShpObject shape;
        if (!readSelected(entry, shape))
            continue;
        for (const TShpParts &part : shape.Parts)
            for (const std::vector<TShpPoint> &zone : zonesOf(part)) {
                if (zone.empty())
                    continue;
                FNewObject.clearFigure();
                // A zone is a polygon whatever the source and the layer.
                FNewObject.Kind = okPolygon;
                setNewFigure({TShpParts{zone}});
                CommitNewObject(layer, true, true);
            }
    }
}

void MapDataCore::BufferPolygons(int layer, double distance)
{
    commitZones(layer, [distance](const TShpParts &part) {
        return std::vector<std::vector<TShpPoint>>{buffer::polygonRing(part.Points, distance)};
    });
}

void MapDataCore::BufferLines(int layer, double distance)
{
    commitZones(layer, [distance](const TShpParts &part) {
        return std::vector<std::vector<TShpPoint>>{buffer::lineBand(part.Points, distance)};
    });
}

void MapDataCore::BufferPoints(int layer, int n, double radius)
{
    commitZones(layer, [n, radius](const TShpParts &part) { return buffer::pointPolygons(part.Points, n, radius); });
}
