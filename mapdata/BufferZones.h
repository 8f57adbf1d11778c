#pragma once
// Zones around objects: an offset ring per polygon ring, a band with square
// ends per line, a regular polygon per point. Every source vertex gives one
// vertex of the zone (two for a line), placed on the bisector of its angle;
// zones are not merged.

#include "mapdata/MapTypes.h"

#include <vector>

namespace buffer {

// The vertex C moved by the signed distance x along the bisector of its angle
// between the neighbours P and N: a positive distance to the right of the way
// from P through C to N. Where the way turns back (almost) onto itself the
// bisector distance would grow without bound; the vertex is then moved by x
// alone, as at a square end.
TShpPoint offsetVertex(const TShpPoint &p, const TShpPoint &c, const TShpPoint &n, double x);

// The offset ring of a polygon ring; a ring whose last point is not its first
// is taken as closed all the same. As many points as the ring.
std::vector<TShpPoint> polygonRing(const std::vector<TShpPoint> &ring, double x);

// The band around a line: one side forward, the other back, and the first
// point again (2n + 1 points). Empty for a line of fewer than 2 points.
std::vector<TShpPoint> lineBand(const std::vector<TShpPoint> &line, double x);

// A regular polygon of n vertices and radius r around each point of the part
// (the last point left out when it closes the part), closed: n + 1 points
// each. The first vertex lies in the direction of the step from the point
// before (for the first point, from the mirror of the second through it; a
// part of one point starts along the first axis), turned by pi/4 when n is 4,
// and the others follow clockwise.
std::vector<std::vector<TShpPoint>> pointPolygons(const std::vector<TShpPoint> &part, int n, double r);

} // namespace buffer
