// The drawing primitives of the map control: one object on a canvas from
// points already in picture coordinates.

#include "mapengine/CanvasHelpers.h"
#include "mapengine/MapControlCore.h"

#include "mapdata/MapFunctions.h"
#include "mapdata/VykMapFunctions.h"

#include <cmath>
#include <numbers>
#include <span>

using namespace platform::gdi;
using mapengine::detail::nint;
using mapengine::detail::nintPoint;

namespace mapengine {

int penStyleForLineKind(int lineKind, int width, int current)
{
    switch (lineKind) {
    case 0: return PS_NULL;
    case 1:
    case 34: return PS_SOLID;
    case 5: return width <= 1 ? PS_DASH : current;
    case 2: return width <= 1 ? PS_DOT : current;
    case 16: return width <= 1 ? PS_DASHDOT : current;
    case 18: return width <= 1 ? PS_DASHDOTDOT : current;
    default: return current;
    }
}

std::vector<QPoint> clipPolygonToRect(const std::vector<QPoint> &points, const TClipRect &rect)
{
    std::vector<QPoint> out;
    if (points.size() < 2)
        return out;
    out.reserve(points.size() + 8);
    const double L = rect.L, B = rect.B, R = rect.R, T = rect.T;
    const QPoint TL(rect.L, rect.T), TR(rect.R, rect.T), BR(rect.R, rect.B), BL(rect.L, rect.B);
    auto zone = [&](double x, double y) { return MapFunctions::PointRegionCode(L, B, R, T, x, y); };
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const QPoint P = points[i], Q = points[i + 1];
        const int s = zone(P.x(), P.y());
        const int e = zone(Q.x(), Q.y());
        const MapFunctions::TClippedSegment clip =
            MapFunctions::ClipSegmentToRect(L, B, R, T, P.x(), P.y(), Q.x(), Q.y());
        const bool c2 = clip.Count >= 2;

        // Corners by the start zone.
        if (s != e) {
            if (s == 1 || (!c2 && s == 4 && e == 3) || (!c2 && s == 2 && e == 7))
                out.push_back(TL);
            if (s == 3 || (!c2 && s == 6 && e == 1) || (!c2 && s == 2 && e == 9))
                out.push_back(TR);
            if (s == 9 || (!c2 && s == 8 && e == 3) || (!c2 && s == 6 && e == 7))
                out.push_back(BR);
            if (s == 7 || (!c2 && s == 4 && e == 9) || (!c2 && s == 8 && e == 1))
                out.push_back(BL);
        }

        if (clip.Visible) {
            QPointF a(clip.X1, clip.Y1), b(clip.X2, clip.Y2);
            // An edge that only touches the rectangle gives one point.
            if (clip.Count == 1 && s != 5 && e != 5)
                b = a;
            if (c2) {
                // Along the edge: the crossing farther from its end first.
                const double da = std::hypot(a.x() - Q.x(), a.y() - Q.y());
                const double db = std::hypot(b.x() - Q.x(), b.y() - Q.y());
                if (db > da)
                    std::swap(a, b);
            }
            out.push_back(nintPoint(a.x(), a.y()));
            out.push_back(nintPoint(b.x(), b.y()));
        } else if ((s == 1 && e == 9) || (s == 9 && e == 1)) {
            // Beside the rectangle: the side of the diagonal it passes on.
            const MapFunctions::TCrossing x = MapFunctions::IntersectSegments(3, P.x(), P.y(), Q.x(), Q.y(), L, B, R, T);
            const int z = zone(x.X, x.Y);
            if (z == 3)
                out.push_back(TR);
            else if (z == 7)
                out.push_back(BL);
        } else if ((s == 3 && e == 7) || (s == 7 && e == 3)) {
            const MapFunctions::TCrossing x = MapFunctions::IntersectSegments(3, P.x(), P.y(), Q.x(), Q.y(), L, T, R, B);
            const int z = zone(x.X, x.Y);
            if (z == 1)
                out.push_back(TL);
            else if (z == 9)
                out.push_back(BR);
        }

        // Corners by the end zone.
        if (s != e) {
            if (e == 1 || (!c2 && e == 2 && (s == 4 || s == 7)) || (!c2 && e == 4 && (s == 2 || s == 3)))
                out.push_back(TL);
            if (e == 3 || (!c2 && e == 6 && (s == 2 || s == 1)) || (!c2 && e == 2 && (s == 6 || s == 9)))
                out.push_back(TR);
            if (e == 9 || (!c2 && e == 8 && (s == 6 || s == 3)) || (!c2 && e == 6 && (s == 8 || s == 7)))
                out.push_back(BR);
            if (e == 7 || (!c2 && e == 4 && (s == 8 || s == 9)) || (!c2 && e == 8 && (s == 4 || s == 1)))
                out.push_back(BL);
        }
    }
    return out;
}

} // namespace mapengine

namespace {

using namespace mapengine::detail;

// The canvas as the curve drawer of VykMapFunctions takes it.
struct CurveCanvas {
    Canvas &c;
    void MoveTo(int x, int y) { c.moveTo(x, y); }
    void LineTo(int x, int y) { c.lineTo(x, y); }
};

constexpr double kDeg = std::numbers::pi / 180.0;

QPointF along(const QPointF &p, double angle, double length)
{
    return QPointF(p.x() + length * std::cos(angle), p.y() + length * std::sin(angle));
}

QPoint rounded(const QPointF &p)
{
    return nintPoint(p.x(), p.y());
}

// One decoration of a line end at P, the line leaving P in direction phi.
void drawLineEnd(Canvas &c, int kind, const QPointF &P, double phi, double u)
{
    auto filled = [&](double alpha, double length) {
        setPenStyle(c, PS_SOLID);
        selectBrush(c, Brush{BS_SOLID, c.pen().color, HS_HORIZONTAL});
        const QPoint p = rounded(P);
        c.polygon({p, rounded(along(P, phi + alpha, length)), rounded(along(P, phi - alpha, length)), p});
    };
    auto open = [&](const QPointF &tip, double dir, double alpha, double length) {
        setPenStyle(c, PS_SOLID);
        c.polyline({rounded(along(tip, dir + alpha, length)), rounded(tip), rounded(along(tip, dir - alpha, length))});
    };
    switch (kind) {
    case 1: filled(20 * kDeg, 5 * u); break;
    case 2: open(P, phi, 20 * kDeg, 5 * u); break;
    case 3: filled(30 * kDeg, 5 * u); break;
    case 4: open(P, phi, 30 * kDeg, 5 * u); break;
    case 5: filled(45 * kDeg, 4 * u); break;
    case 6: open(P, phi, 45 * kDeg, 4 * u); break;
    case 7:
        open(P, phi, 45 * kDeg, 4 * u);
        // The second arrow's wings come from its unrounded tip.
        open(along(P, phi, 3 * u), phi, 45 * kDeg, 2.5 * u);
        break;
    case 8:
        setPenStyle(c, PS_SOLID);
        c.polyline({rounded(along(P, phi + 90 * kDeg, 3 * u)), rounded(along(P, phi - 90 * kDeg, 3 * u))});
        break;
    case 9: open(P, phi + std::numbers::pi, 45 * kDeg, 4 * u); break;
    case 10: {
        setPenStyle(c, PS_SOLID);
        selectBrush(c, Brush{BS_SOLID, c.pen().color, HS_HORIZONTAL});
        const double r = 1.5 * u;
        c.ellipse(Rect{nint(P.x() - r), nint(P.y() - r), nint(P.x() + r), nint(P.y() + r)});
        break;
    }
    default:
        break;
    }
}

} // namespace

TClipRect MapControlCore::ViewClipRect(const Canvas &canvas) const
{
    if (canvas.mapMode() != MM_HIMETRIC)
        return TClipRect{0, 0, ClientWidth(), ClientHeight()};
    return TClipRect{nint(-5 * FUnitsPerPixelX), nint((-ClientHeight() - 5) * FUnitsPerPixelY),
                     nint((ClientWidth() + 5) * FUnitsPerPixelX), nint(5 * FUnitsPerPixelY)};
}

void MapControlCore::DrawFontText(Canvas &c, int x, int y, double denominator, const TMapFont &font,
                                  const QString &text)
{
    if (text.isEmpty())
        return;
    const QPoint device = c.lpToDp(QPoint(x, y));
    const int mapMode = c.mapMode();
    const unsigned align = c.textAlign();
    mapengine::detail::setMapMode(c, MM_TEXT);
    mapengine::detail::setTextAlign(c, TA_CENTER | TA_TOP);
    const LogFont oldFont = c.font();
    const Color oldColor = c.textColor();
    const SavedBrush oldBrush(c);
    const int size = scaledSize(font.Size, font.Scale, denominator);
    if (size > 0) {
        LogFont f = oldFont;
        f.charSet = DEFAULT_CHARSET;
        f.faceName = font.FontName;
        f.height = fontHeightForPoints(c, size);
        mapengine::detail::setFont(c, f);
        mapengine::detail::setTextColor(c, static_cast<Color>(font.Color) & 0xFFFFFFu);
        selectBrush(c, font.BrushStyle == 1 ? Brush{BS_NULL, static_cast<Color>(font.BrushColor) & 0xFFFFFFu, 0}
                                            : Brush{BS_SOLID, static_cast<Color>(font.BrushColor) & 0xFFFFFFu, 0});
        // Centred both ways: the top half the text's height above the point.
        const int h = c.textExtent(text).cy;
        c.textOut(device.x(), device.y() - nint(h / 2.0), text);
    }
    mapengine::detail::setFont(c, oldFont);
    mapengine::detail::setTextColor(c, oldColor);
    oldBrush.restore(c);
    mapengine::detail::setMapMode(c, mapMode);
    mapengine::detail::setTextAlign(c, align);
}

void MapControlCore::DrawLineEnds(Canvas &c, const std::vector<QPoint> &points, double w, int f, int startKind,
                                  int endKind)
{
    if (points.empty())
        return;
    const double u = w * f;
    const size_t n = points.size();
    if (startKind > 0) {
        const QPoint a = points[0];
        const double theta =
            n > 1 ? MapFunctions::DirectionAngleRad(a.x(), a.y(), points[1].x(), points[1].y()) : 0.0;
        drawLineEnd(c, startKind, QPointF(a), theta, u);
    }
    if (endKind > 0) {
        const QPoint b = points[n - 1];
        const double theta =
            n > 1 ? MapFunctions::DirectionAngleRad(points[n - 2].x(), points[n - 2].y(), b.x(), b.y()) : 0.0;
        drawLineEnd(c, endKind, QPointF(b), theta + std::numbers::pi, u);
    }
}

void MapControlCore::DrawVertexBoxes(Canvas &c, const std::vector<QPoint> &points)
{
    setPenStyle(c, PS_SOLID);
    selectBrush(c, Brush{BS_SOLID, rgb(0, 0, 255), HS_HORIZONTAL});
    const int right = nint(ClientWidth() * FUnitsPerPixelX);
    const int bottom = nint(-ClientHeight() * FUnitsPerPixelY);
    for (const QPoint &p : points) {
        if (p.x() < 0 || p.x() > right || p.y() < bottom || p.y() > 0)
            continue;
        c.rectangle(Rect{p.x() - 40, p.y() - 40, p.x() + 40, p.y() + 40});
    }
}

void MapControlCore::FillPolygon(Canvas &c, const std::vector<QPoint> &points, int lineKind, int lineWidth,
                                 bool forceClip)
{
    // The fill has no border; the outline is drawn by itself afterwards with
    // the pen the caller set.
    const int penStyle = c.pen().style;
    setPenStyle(c, PS_NULL);
    if (c.brush().style != BS_NULL && !points.empty()) {
        if (isNtFamily() && !forceClip) {
            c.polygon(points);
        } else {
            const std::vector<QPoint> clipped = mapengine::clipPolygonToRect(points, ViewClipRect(c));
            if (!clipped.empty())
                c.polygon(clipped);
        }
    }
    setPenStyle(c, penStyle);
    // Line kind 5 means no outline for polygons.
    if (lineKind != 5)
        DrawClippedPolyline(c, points, lineKind, lineWidth);
}

void MapControlCore::DrawBezierLine(Canvas &c, const std::vector<QPoint> &points, int lineKind, int lineWidth)
{
    const int brushStyle = c.brush().style;
    const Pen pen = c.pen();
    const int style = mapengine::penStyleForLineKind(lineKind, lineWidth, pen.style);
    setPenStyle(c, style);
    if (style != PS_NULL) {
        CurveCanvas curve{c};
        VykMapFunctions::DrawBezierPolyline(curve, std::span<const QPoint>(points));
    }
    if (c.brush().style != brushStyle) {
        Brush b = c.brush();
        b.style = brushStyle;
        c.setBrush(b);
    }
    mapengine::detail::setPen(c, pen);
}

void MapControlCore::DrawClippedPolyline(Canvas &c, const std::vector<QPoint> &points, int lineKind,
                                         int lineWidth)
{
    const Pen pen = c.pen();
    const int style = mapengine::penStyleForLineKind(lineKind, lineWidth, pen.style);
    setPenStyle(c, style);
    if (style != PS_NULL && points.size() > 1) {
        // Segments that miss the view are skipped whole; the canvas clips the rest.
        const TClipRect r = ViewClipRect(c);
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const QPoint p = points[i], q = points[i + 1];
            // After a drawn segment the pen is already at its end.
            if (c.currentPosition() != p)
                c.moveTo(p.x(), p.y());
            if (FPictureMode || MapFunctions::SegmentEntersRect(r.L, r.B, r.R, r.T, p.x(), p.y(), q.x(), q.y()))
                c.lineTo(q.x(), q.y());
        }
    }
    mapengine::detail::setPen(c, pen);
}

void MapControlCore::DrawShadow(Canvas &c, const std::vector<QPoint> &points)
{
    const double n = currentDenominator();
    if (n <= 0 || points.empty())
        return;
    // 4 map units right and down at any scale.
    const double d = 4000.0 / n;
    std::vector<QPoint> moved;
    moved.reserve(points.size());
    for (const QPoint &p : points)
        moved.push_back(nintPoint(p.x() + 100 * d, p.y() - 100 * d));
    const int rop2 = c.rop2();
    const Pen pen = c.pen();
    const SavedBrush brush(c);
    if (rop2 != R2_MERGEPENNOT)
        c.setRop2(R2_MERGEPENNOT);
    mapengine::detail::setPen(c, Pen{PS_SOLID, pen.width, rgb(212, 212, 212)});
    selectBrush(c, Brush{BS_SOLID, rgb(170, 170, 170), HS_HORIZONTAL});
    FillPolygon(c, moved, 0, 1, false);
    if (c.rop2() != rop2)
        c.setRop2(rop2);
    mapengine::detail::setPen(c, pen);
    brush.restore(c);
}
