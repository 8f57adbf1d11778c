// The selection of the map control: its derived extent, centre and pivot,
// the handle of the frame under the mouse, and where a point goes when the
// frame is dragged (resize, move, rotate about the pivot).

#include "mapengine/CanvasHelpers.h"
#include "mapengine/MapControlCore.h"

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"

#include <cmath>

using mapengine::detail::nint;

namespace {

bool isCorner(int handle)
{
    return handle == 1 || handle == 3 || handle == 5 || handle == 7;
}

// The map point of a handle; in the rotate frame handle 9 is the pivot.
TMapPoint handlePoint(const TSelObjects &s, int handle, int frameMode)
{
    const double midX = s.MinX + (s.MaxX - s.MinX) / 2;
    const double midY = s.MinY + (s.MaxY - s.MinY) / 2;
    switch (handle) {
    case 1: return {s.MinX, s.MinY};
    case 2: return {s.MinX, midY};
    case 3: return {s.MinX, s.MaxY};
    case 4: return {midX, s.MaxY};
    case 5: return {s.MaxX, s.MaxY};
    case 6: return {s.MaxX, midY};
    case 7: return {s.MaxX, s.MinY};
    case 8: return {midX, s.MinY};
    default: break;
    }
    if (frameMode == 1)
        return {s.PivotX, s.PivotY};
    return {midX, midY};
}

// The order handles are tested in; a later hit wins.
constexpr int kHandleOrder[] = {1, 8, 7, 6, 5, 4, 3, 2, 9};

} // namespace

void MapControlCore::ClearSelection()
{
    FSelection = TSelObjects{};
}

void MapControlCore::AppendSelectionEntry(int layer, int index, const TMapExtent &box)
{
    TSelObject entry;
    entry.Layer = layer;
    entry.Index = index;
    entry.XMin = box.X1;
    entry.YMin = box.Y1;
    entry.XMax = box.X2;
    entry.YMax = box.Y2;
    FSelection.Entries.push_back(entry);
}

void MapControlCore::RecalcSelectionExtent()
{
    TSelObjects &s = FSelection;
    s.MinX = s.MinY = s.MinZ = 0;
    s.MaxX = s.MaxY = s.MaxZ = 0;
    s.CenterX = s.CenterY = s.CenterZ = 0;
    bool first = true;
    for (const TSelObject &e : s.Entries) {
        if (first || e.XMin < s.MinX)
            s.MinX = e.XMin;
        if (first || e.YMin < s.MinY)
            s.MinY = e.YMin;
        if (first || e.XMax > s.MaxX)
            s.MaxX = e.XMax;
        if (first || e.YMax > s.MaxY)
            s.MaxY = e.YMax;
        first = false;
    }
    s.CenterX = s.MinX + (s.MaxX - s.MinX) / 2;
    s.CenterY = s.MinY + (s.MaxY - s.MinY) / 2;
    // A pivot once set stays until the selection is cleared.
    if (s.PivotX == 0 && s.PivotY == 0) {
        s.PivotX = s.CenterX;
        s.PivotY = s.CenterY;
    }
}

Byte MapControlCore::CommonSelectionKind() const
{
    const std::vector<TSelObject> &entries = FSelection.Entries;
    if (entries.empty() || !validLayer(entries.front().Layer))
        return 0;
    if (FProject.Layers[static_cast<size_t>(entries.front().Layer)].MapType != mtTextLayer)
        return 0;
    const Byte kind = entries.front().Kind;
    for (const TSelObject &e : entries)
        if (e.Kind != kind)
            return 0;
    return kind;
}

int MapControlCore::HitSelectionHandle(int x, int y) const
{
    const TSelObjects &s = FSelection;
    if (s.Entries.empty())
        return 0;
    const int mode = s.FrameMode;
    if (mode != 0 && mode != 1)
        return 0;
    const QPoint c(nint(x * FUnitsPerPixelX), nint(-y * FUnitsPerPixelY));
    auto within = [&c](int x0, int x1, int y0, int y1) {
        return x0 <= c.x() && c.x() <= x1 && y0 <= c.y() && c.y() <= y1;
    };
    int hit = 0;
    for (int h : kHandleOrder) {
        const TMapPoint m = handlePoint(s, h, mode);
        const QPoint p = MapToLogical(m.X, m.Y);
        bool inside = false;
        if (mode == 0) {
            inside = within(p.x() - 100, p.x() + 100, p.y() - 100, p.y() + 100);
        } else {
            // Corners are squares inside the frame from the corner point.
            switch (h) {
            case 1: inside = within(p.x(), p.x() + 450, p.y(), p.y() + 450); break;
            case 7: inside = within(p.x() - 450, p.x(), p.y(), p.y() + 450); break;
            case 5: inside = within(p.x() - 450, p.x(), p.y() - 450, p.y()); break;
            case 3: inside = within(p.x(), p.x() + 450, p.y() - 450, p.y()); break;
            default: inside = within(p.x() - 210, p.x() + 210, p.y() - 210, p.y() + 210); break;
            }
        }
        if (inside)
            hit = h;
    }
    return hit;
}

namespace {

// The turn (degrees, counter-clockwise) from the direction pivot -> a to the
// direction pivot -> b.
double turnAbout(double px, double py, const TMapPoint &a, const TMapPoint &b)
{
    return MapFunctions::AngleBetweenDirections(px, py, a.X, a.Y, px, py, b.X, b.Y);
}

} // namespace

double MapControlCore::DragRotationAngle(int pressX, int pressY, double pivotX, double pivotY, int x, int y,
                                         int handle, bool pivotLogical, double startAngle) const
{
    TMapPoint q0, q1, pivot{pivotX, pivotY};
    LogicalToMap(QPointF(nint(pressX * FUnitsPerPixelX), nint(-pressY * FUnitsPerPixelY)), q0);
    LogicalToMap(QPointF(nint(x * FUnitsPerPixelX), nint(-y * FUnitsPerPixelY)), q1);
    if (pivotLogical)
        LogicalToMap(QPointF(pivotX, pivotY), pivot);
    if (!isCorner(handle))
        return startAngle; // only the corners turn texts; the others keep their rotation
    return startAngle - turnAbout(pivot.X, pivot.Y, q0, q1);
}

TMapPoint MapControlCore::TransformDraggedPoints(int pressX, int pressY, double pointX, double pointY, int x, int y,
                                                 int handle, bool pointLogical, bool resultLogical,
                                                 int frameMode) const
{
    const TSelObjects &s = FSelection;
    TMapPoint q0, q1;
    LogicalToMap(QPointF(nint(pressX * FUnitsPerPixelX), nint(-pressY * FUnitsPerPixelY)), q0);
    LogicalToMap(QPointF(nint(x * FUnitsPerPixelX), nint(-y * FUnitsPerPixelY)), q1);
    const double dX = q0.X - q1.X;
    const double dY = q0.Y - q1.Y;
    TMapPoint p{pointX, pointY};
    if (pointLogical)
        LogicalToMap(QPointF(pointX, pointY), p);

    TMapPoint r = p;
    if (frameMode == 0) {
        const double w = s.MaxX - s.MinX;
        const double h = s.MaxY - s.MinY;
        // Along an axis on which the extent has no size there is nothing to
        // scale: the point keeps that coordinate.
        auto fromMax = [](double max, double v, double size, double d) {
            return size != 0 ? max - (max - v) * (size + d) / size : v;
        };
        auto fromMin = [](double min, double v, double size, double d) {
            return size != 0 ? min - (min - v) * (size - d) / size : v;
        };
        switch (handle) {
        case 1: r.X = fromMax(s.MaxX, p.X, w, dX); r.Y = fromMax(s.MaxY, p.Y, h, dY); break;
        case 2: r.X = fromMax(s.MaxX, p.X, w, dX); break;
        case 3: r.X = fromMax(s.MaxX, p.X, w, dX); r.Y = fromMin(s.MinY, p.Y, h, dY); break;
        case 4: r.Y = fromMin(s.MinY, p.Y, h, dY); break;
        case 5: r.X = fromMin(s.MinX, p.X, w, dX); r.Y = fromMin(s.MinY, p.Y, h, dY); break;
        case 6: r.X = fromMin(s.MinX, p.X, w, dX); break;
        case 7: r.X = fromMin(s.MinX, p.X, w, dX); r.Y = fromMax(s.MaxY, p.Y, h, dY); break;
        case 8: r.Y = fromMax(s.MaxY, p.Y, h, dY); break;
        case 9: r.X = p.X - dX; r.Y = p.Y - dY; break;
        default: break;
        }
    } else if (frameMode == 1) {
        if (handle >= 1 && handle <= 8) {
            const double turn = turnAbout(s.PivotX, s.PivotY, q0, q1);
            RotatePoint(r, s.PivotX, s.PivotY, 0, p.X, p.Y, 0, 0, 0, 0, turn);
        } else if (handle == 9) {
            r.X = p.X - dX;
            r.Y = p.Y - dY;
        }
    }

    if (resultLogical) {
        const QPoint l = MapToLogical(r.X, r.Y);
        return TMapPoint{static_cast<double>(l.x()), static_cast<double>(l.y()), 0};
    }
    r.X = MapFunctions::RoundValue(r.X, 1, 0, false).toDouble();
    r.Y = MapFunctions::RoundValue(r.Y, 1, 0, false).toDouble();
    r.Z = 0;
    return r;
}

void MapControlCore::RotatePoint(TMapPoint &result, double pivotN, double pivotE, double pivotH, double pointN,
                                 double pointE, double pointH, double newPivotN, double newPivotE, double newPivotH,
                                 double angle)
{
    VykFunctions::TPointXYZ r{result.X, result.Y, result.Z};
    VykFunctions::RotatePointAbout(r, pivotN, pivotE, pivotH, pointN, pointE, pointH, newPivotN, newPivotE, newPivotH,
                                   angle);
    result.X = r.X;
    result.Y = r.Y;
    result.Z = r.Z;
}
