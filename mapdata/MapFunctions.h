#pragma once
// Shared helper routines of the unit MapFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace MapFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====
// Plane geometry of selection, snapping, clipping and measuring. Angles and
// intermediate values are computed in long double; results are stored as doubles.

} // namespace MapFunctions

// Headers of the geometry routines, included outside the unit's namespace.
#include <cstdint>

namespace MapFunctions {

// A point with two integer tags.
struct TPlanePoint {
    double X = 0.0;
    double Y = 0.0;
    std::int32_t Tag1 = 0;
    std::int32_t Tag2 = 0;
};

// The crossing of two lines; Flag 1 when the mode accepted it.
struct TCrossing {
    std::int32_t Flag = 0;
    double X = 0.0;
    double Y = 0.0;
};

// The part of a segment inside a rectangle.
struct TClippedSegment {
    std::uint8_t Visible = 0;
    std::uint8_t Count = 0; // crossings with the rectangle's sides
    double X1 = 0.0;
    double Y1 = 0.0;
    double X2 = 0.0;
    double Y2 = 0.0;
};

// A point at a distance along a direction.
struct TPointAlong {
    std::int32_t Kind = 0;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// Direction angle from point 1 to point 2 in radians, 0..2 pi (equal points: pi/2).
double DirectionAngleRad(double X1, double Y1, double X2, double Y2);

// Turn from the direction of segment 1 to that of segment 2, degrees -180..180,
// positive counter-clockwise.
double AngleBetweenDirections(double X1, double Y1, double X2, double Y2,
                              double X3, double Y3, double X4, double Y4);

// The point at Distance from point 1 along the direction to point 2 turned by
// Angle degrees; a distance of 0 gives point 1.
TPointAlong PointAlongDirection(double X1, double Y1, double Z1, double X2, double Y2, double Z2,
                                double Angle, double Distance);

// Crossing of the lines through segment A (1-2) and segment B (3-4). Flag 1 when
// the crossing lies within A and: mode 0, it is not A's end point 2; mode 1, it is
// not A's end point 2 and lies within B; mode 2, it lies within B; mode 3, always.
TCrossing IntersectSegments(int Mode, double X1, double Y1, double X2, double Y2,
                            double X3, double Y3, double X4, double Y4);

bool PointNearPoint(double X1, double Y1, double X2, double Y2, double TolX, double TolY);

// True when the point lies on the segment within Tolerance (by the detour length).
bool PointOnSegment(double X1, double Y1, double X2, double Y2, double X, double Y,
                    double Tolerance);

// 5 inside (bounds inclusive); 1 2 3 above, 4 left, 6 right, 7 8 9 below, from
// left to right; 0 for not-a-number.
int PointRegionCode(double MinX, double MinY, double MaxX, double MaxY, double X, double Y);

TClippedSegment ClipSegmentToRect(double MinX, double MinY, double MaxX, double MaxY,
                                  double X1, double Y1, double X2, double Y2);

// Quick test: also true when only a corner of the segment's bounding box lies in
// the rectangle, so callers get candidates, not exact hits.
bool SegmentIntersectsRect(double MinX, double MinY, double MaxX, double MaxY,
                           double X1, double Y1, double X2, double Y2);

// True when an end point lies in the rectangle or the segment crosses a side.
bool SegmentEntersRect(double MinX, double MinY, double MaxX, double MaxY,
                       double X1, double Y1, double X2, double Y2);

TPlanePoint SetPlanePoint(double X, double Y, std::int32_t Tag1, std::int32_t Tag2);

// ==== end of geometry ====

} // namespace MapFunctions
