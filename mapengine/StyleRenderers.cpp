#include "mapengine/StyleRenderers.h"

#include "mapdata/VykFunctions.h"
#include "mapengine/CanvasHelpers.h"
#include "mapengine/PolygonMask.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Metafile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace mapengine {

using namespace platform::gdi;
using detail::nint;

Brush builtInFill(int style, Color color)
{
    switch (style) {
    case 1: return Brush{BS_SOLID, color, HS_HORIZONTAL};
    case 2: return Brush{BS_HATCHED, color, HS_BDIAGONAL};
    case 3: return Brush{BS_HATCHED, color, HS_FDIAGONAL};
    case 4: return Brush{BS_HATCHED, color, HS_CROSS};
    case 5: return Brush{BS_HATCHED, color, HS_DIAGCROSS};
    case 6: return Brush{BS_HATCHED, color, HS_HORIZONTAL};
    case 7: return Brush{BS_HATCHED, color, HS_VERTICAL};
    default: return Brush{BS_NULL, color, HS_HORIZONTAL};
    }
}

namespace {

Color colorOf(std::int32_t c)
{
    return static_cast<Color>(c) & 0xFFFFFFu;
}

bool isPureWhite(std::int32_t c)
{
    return colorOf(c) == rgb(255, 255, 255);
}

// Pens of pattern strokes are never thinner than 0.2 mm.
int strokePenWidth(std::int32_t width)
{
    return width <= 20 ? 20 : width;
}

// Puts back the pen, the brush (with the text background it implies) and the
// mapping mode the canvas had, however the renderer ends.
class KeptCanvasState {
public:
    explicit KeptCanvasState(Canvas &c) : canvas_(c), pen_(c.pen()), brush_(c), mapMode_(c.mapMode()) {}
    ~KeptCanvasState()
    {
        detail::setPen(canvas_, pen_);
        brush_.restore(canvas_);
        detail::setMapMode(canvas_, mapMode_);
    }
    KeptCanvasState(const KeptCanvasState &) = delete;
    KeptCanvasState &operator=(const KeptCanvasState &) = delete;

private:
    Canvas &canvas_;
    Pen pen_;
    detail::SavedBrush brush_;
    int mapMode_;
};

// The points in 0.01 mm, the canvas switched to that mapping: points in any
// other mapping go to the device and back.
std::vector<QPoint> toHimetric(Canvas &c, const std::vector<QPoint> &points)
{
    if (c.mapMode() == MM_HIMETRIC)
        return points;
    std::vector<QPoint> device;
    device.reserve(points.size());
    for (const QPoint &p : points)
        device.push_back(c.lpToDp(p));
    c.setMapMode(MM_HIMETRIC);
    std::vector<QPoint> out;
    out.reserve(points.size());
    for (const QPoint &p : device)
        out.push_back(c.dpToLp(p));
    return out;
}

void drawPlaced(Canvas &c, const PlacedStroke &s)
{
    const std::vector<QPoint> &p = s.points;
    switch (s.shape) {
    case StrokeShape::Polyline:
        if (p.size() >= 2)
            c.polyline(p);
        break;
    case StrokeShape::Ellipse:
        c.ellipse(Rect{p[0].x(), p[0].y(), p[1].x(), p[1].y()});
        break;
    case StrokeShape::Rectangle:
        c.rectangle(Rect{p[0].x(), p[0].y(), p[1].x(), p[1].y()});
        break;
    case StrokeShape::Polygon:
        if (p.size() >= 2)
            c.polygon(p);
        break;
    }
}

// How the strokes of kinds 1 and 2 (ellipse, rectangle by two corners) are
// drawn into a cell picture: as given (fill symbols); moved by (20, -20),
// other point counts as polygons (point symbols); each corner moved 12 units
// outwards, other point counts drawing nothing (the style pickers).
enum class CellBoxes { AsGiven, PointSymbol, Picker };

// A picture of one pattern cell (Width × Height, 0.01 mm, y upward), its
// strokes drawn about the cell's centre. `style` sets each stroke's pen and
// brush.
template <typename StyleFn>
Metafile cellPicture(const DeviceMetrics &reference, const TVykSymbol &pattern, StyleFn style, CellBoxes boxes)
{
    Metafile cell(reference);
    cell.setMmSize(pattern.Width, pattern.Height);
    MetafileCanvas mc(cell);
    mc.setMapMode(MM_HIMETRIC);
    const int dx = nint(pattern.Width / 2.0);
    const int dy = -nint(pattern.Height / 2.0);
    for (const TVykStroke &s : pattern.Strokes) {
        style(mc, s);
        std::vector<QPoint> pts;
        pts.reserve(s.Points.size());
        for (const TVykPoint &q : s.Points)
            pts.emplace_back(q.X + dx, q.Y + dy);
        const bool box = (s.Kind == vsEllipse || s.Kind == vsRectangle) && pts.size() == 2;
        if (box && boxes == CellBoxes::PointSymbol) {
            for (QPoint &q : pts)
                q += QPoint(20, -20);
        } else if (box && boxes == CellBoxes::Picker) {
            const int left = std::min(pts[0].x(), pts[1].x()) - 12;
            const int right = std::max(pts[0].x(), pts[1].x()) + 12;
            const int bottom = std::min(pts[0].y(), pts[1].y()) - 12;
            const int top = std::max(pts[0].y(), pts[1].y()) + 12;
            pts = {QPoint(left, top), QPoint(right, bottom)};
        }
        switch (s.Kind) {
        case vsPolyline:
            if (pts.size() >= 2)
                mc.polyline(pts);
            break;
        case vsEllipse:
        case vsRectangle:
            if (box) {
                const Rect r{pts[0].x(), pts[0].y(), pts[1].x(), pts[1].y()};
                if (s.Kind == vsEllipse)
                    mc.ellipse(r);
                else
                    mc.rectangle(r);
            } else if (boxes == CellBoxes::PointSymbol && pts.size() >= 2) {
                mc.polygon(pts);
            }
            break;
        case vsPolygon:
            if (pts.size() >= 2)
                mc.polygon(pts);
            break;
        default:
            break;
        }
    }
    mc.finish();
    return cell;
}

// The cell picture stretched onto the canvas centred at each point.
void stampCell(Canvas &c, const Metafile &cell, const TVykSymbol &pattern, const std::vector<QPoint> &points,
               double sx, double sy)
{
    const double hw = sx * pattern.Width / 2.0;
    const double hh = sy * pattern.Height / 2.0;
    for (const QPoint &p : points)
        c.drawMetafile(cell, Rect{nint(p.x() - hw), nint(p.y() + hh), nint(p.x() + hw), nint(p.y() - hh)});
}

long long clampToLong(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<long long>(std::clamp(v, -4.0e18, 4.0e18));
}

} // namespace

// ---- rounding -------------------------------------------------------------

int decimalsOfKind(int kind, int decimals)
{
    switch (kind) {
    case 0: return decimals;
    case 1: case 4: case 6: case 7: return 4;
    case 2: case 3: case 5: case 8: return 2;
    case 9: return 5;
    default: return 0;
    }
}

double roundByKind(double value, int kind, int decimals)
{
    const int d = decimalsOfKind(kind, decimals);
    const long double whole = std::truncl(static_cast<long double>(value));
    const long double fraction = value - whole;
    const long double scale = std::pow(10.0L, static_cast<long double>(d));
    const long double scaled = fraction * scale;
    // Beyond what a double's fraction holds there is nothing left to round.
    if (!(std::fabs(scaled) < 9.0e18L) || scale == 0)
        return value;
    return static_cast<double>(whole + static_cast<long double>(platform::roundHalfEven(scaled)) / scale);
}

QString roundByKindText(double value, int kind, int decimals)
{
    const int d = decimalsOfKind(kind, decimals);
    QString text = platform::floatToStr(roundByKind(value, kind, decimals)).trimmed();
    if (d <= 0)
        return text;
    const QChar sep = platform::decimalSeparator();
    const qsizetype at = text.indexOf(sep);
    int missing = at < 0 ? d : d - static_cast<int>(text.size() - at - 1);
    missing = std::min(missing, 43);
    if (at < 0)
        text += sep;
    if (missing > 0)
        text += QString(missing, QLatin1Char('0'));
    return text;
}

QVariant StyleServices::RoundByKind(double value, int kind, bool asText, int decimals)
{
    if (asText)
        return roundByKindText(value, kind, decimals);
    return roundByKind(value, kind, decimals);
}

// ---- libraries --------------------------------------------------------------

StyleServices::StyleServices()
{
    const DeviceMetrics screen = screenMetrics();
    frameWidth_ = screen.horzRes;
    frameHeight_ = screen.vertRes;
}

StyleServices::~StyleServices() = default;

void StyleServices::SetFrameSize(int width, int height)
{
    frameWidth_ = std::max(0, width);
    frameHeight_ = std::max(0, height);
}

void StyleServices::LoadStyleLibraries(const QString &programDir)
{
    struct Library {
        const char *file;
        TVykSymbols *target;
        const char *ending;
    };
    const Library libraries[] = {
        {"Symbols.glb", &FFillStyles, " с шаблонами стилей заливки полигонов"},
        {"Points.glb", &FPointStyles, " с шаблонами стилей точек"},
        {"Lines.glb", &FLineStyles, " с шаблонами стилей линий"},
    };
    for (const Library &lib : libraries) {
        const QString path = platform::joinPath(programDir, QString::fromLatin1(lib.file));
        *lib.target = TVykSymbols{};
        // Found in any case of its name; a folder of that name is no library.
        QFile f(platform::resolvePath(path));
        if (!platform::fileExists(path) || !f.open(QIODevice::ReadOnly)) {
            platform::showMessage(QStringLiteral("Отутствует файл ") + path + QString::fromUtf8(lib.ending));
            continue;
        }
        // A damaged library gives what it holds, and says so.
        bool whole = false;
        *lib.target = readStyleLibrary(f.readAll(), &whole);
        if (!whole)
            platform::showMessage(QStringLiteral("Неверный формат файла ") + path + QString::fromUtf8(lib.ending) +
                                  QStringLiteral(" !"));
    }
}

// ---- crossing ---------------------------------------------------------------

int StyleServices::IntersectLines(int mode, double x1, double y1, double z1, double x2, double y2, double z2,
                                  double x3, double y3, double /*z3*/, double x4, double y4, double /*z4*/)
{
    const long double a1 = VykFunctions::SafeAtanAngle(x1, y1, x2, y2);
    const long double a2 = VykFunctions::SafeAtanAngle(x3, y3, x4, y4);
    const long double s1 = std::sin(a1), c1 = std::cos(a1);
    const long double s2 = std::sin(a2), c2 = std::cos(a2);
    long double t = 0;
    if (s2 * c2 == 0) {
        t = (x3 - x1) / c1;
    } else {
        // sin θ1·cos θ2 / sin θ2 − cos θ1, written so that lines of one
        // direction give exactly 0.
        const long double den = (s1 * c2 - c1 * s2) / s2;
        t = den == 0 ? 0 : ((y3 - y1) * c2 / s2 + (x1 - x3)) / den;
    }
    const double x = roundByKind(static_cast<double>(x1 + t * c1), 1);
    const double y = roundByKind(static_cast<double>(y1 + t * s1), 1);
    const double length1 = std::hypot(x2 - x1, y2 - y1);
    double z = 0;
    if (!(z1 == 0 && z2 == 0) && length1 != 0)
        z = roundByKind(z2 - std::hypot(x - x2, y - y2) * (z2 - z1) / length1, 1);

    const bool onFirst = length1 >= std::hypot(x - x1, y - y1) && length1 >= std::hypot(x - x2, y - y2);
    const double length2 = std::hypot(x4 - x3, y4 - y3);
    const bool onSecond = length2 >= std::hypot(x - x3, y - y3) && length2 >= std::hypot(x - x4, y - y4);
    const bool atEnd = x == x2 && y == y2;
    int result = 0;
    if (onFirst) {
        switch (mode) {
        case 0: result = atEnd ? 0 : 1; break;
        case 1: result = !atEnd && onSecond ? 1 : 0; break;
        case 2: result = onSecond ? 1 : 0; break;
        case 3: result = 1; break;
        default: break;
        }
    }
    if (result == 1 || mode == 3) {
        FCrossX = x;
        FCrossY = y;
        FCrossValue = z;
    }
    return result;
}

// ---- fill -------------------------------------------------------------------

std::vector<PlacedStroke> StyleServices::PlanFillTiles(const std::vector<QPoint> &points, const TVykSymbol &pattern,
                                                       int pictureWidth, int pictureHeight, double sx, double sy,
                                                       double unitsPerPixelX, double unitsPerPixelY) const
{
    std::vector<PlacedStroke> out;
    const double cellW = pattern.Width * sx;
    const double cellH = pattern.Height * sy;
    if (points.size() < 3 || !(cellW > 0) || !(cellH > 0))
        return out;
    int minX = points[0].x(), maxX = minX, minY = points[0].y(), maxY = minY;
    for (const QPoint &p : points) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    // A polygon without area has no inside to tile (its mask would be its
    // outline stretched over whole rows or columns).
    if (minX == maxX || minY == maxY)
        return out;

    // The mask: the polygon's box stretched over a bitmap of the frame's size.
    const int bw = frameWidth_, bh = frameHeight_;
    const double rx = bw / static_cast<double>(static_cast<long long>(maxX) - minX);
    const double ry = bh / static_cast<double>(static_cast<long long>(minY) - maxY);
    std::vector<QPoint> maskPoints;
    maskPoints.reserve(points.size());
    for (const QPoint &p : points)
        maskPoints.push_back(detail::nintPoint((static_cast<double>(p.x()) - minX) * rx,
                                               (static_cast<double>(p.y()) - maxY) * ry));
    const PolygonMask mask(std::move(maskPoints), bw, bh);

    // Tiles of the box that reach into the picture (x from 0 to its width, y
    // from 0 down to minus its height).
    const double picW = pictureWidth * unitsPerPixelX;
    const double picH = pictureHeight * unitsPerPixelY;
    const long long iFrom = std::max(0LL, clampToLong(std::trunc(-minX / cellW)));
    const long long iTo = std::min(clampToLong(std::trunc((picW - minX) / cellW)) + 1,
                                   clampToLong(std::trunc((static_cast<double>(maxX) - minX) / cellW)) + 1);
    const long long jFrom = std::max(0LL, clampToLong(std::trunc(maxY / cellH)));
    const long long jTo = clampToLong(std::trunc((picH + maxY) / cellH)) + 1;

    // More tiles than the picture has pixels means cells below a pixel, which
    // can show nothing of their strokes; such a pattern is not tiled rather
    // than spending minutes on it.
    const double boxRows = std::trunc((static_cast<double>(maxY) - minY) / cellH) + 2;
    const double tiles = std::max(0.0, static_cast<double>(iTo - iFrom + 1))
                         * std::max(0.0, std::min(static_cast<double>(jTo - jFrom + 1), boxRows));
    if (tiles > std::max(1.0, static_cast<double>(pictureWidth) * pictureHeight))
        return out;

    // The highest corner of any stroke: a row whose highest corner maps below
    // the mask, and every row after it, reads nothing inside.
    double topCorner = -std::numeric_limits<double>::infinity();
    for (const TVykStroke &s : pattern.Strokes)
        if (!s.Points.empty())
            topCorner = std::max({topCorner, static_cast<double>(s.Top), static_cast<double>(s.Bottom) - 1});

    auto inside = [&](long long i, long long j, double x, double y) {
        return mask.black(nint((i * static_cast<double>(pattern.Width) + x) * sx * rx),
                          nint((-j * static_cast<double>(pattern.Height) + y) * sy * ry));
    };

    for (long long i = iFrom; i <= iTo; ++i) {
        for (long long j = jFrom; j <= jTo; ++j) {
            if (nint((-j * static_cast<double>(pattern.Height) + topCorner) * sy * ry) >= bh)
                break;
            const double ox = nint(minX + i * cellW);
            const double oy = nint(maxY - j * cellH);
            for (size_t k = 0; k < pattern.Strokes.size(); ++k) {
                const TVykStroke &s = pattern.Strokes[k];
                if (s.Points.empty())
                    continue;
                const double l = s.Left, t = s.Top, r = s.Right - 1.0, b = s.Bottom - 1.0;
                if (!inside(i, j, l, t) || !inside(i, j, l, b) || !inside(i, j, r, t) || !inside(i, j, r, b))
                    continue;
                PlacedStroke placed;
                placed.stroke = static_cast<int>(k);
                placed.column = static_cast<int>(std::clamp<long long>(i, INT32_MIN, INT32_MAX));
                placed.row = static_cast<int>(std::clamp<long long>(j, INT32_MIN, INT32_MAX));
                switch (s.Kind) {
                case vsPolyline: placed.shape = StrokeShape::Polyline; break;
                case vsEllipse: placed.shape = StrokeShape::Ellipse; break;
                case vsRectangle: placed.shape = StrokeShape::Rectangle; break;
                case vsPolygon: placed.shape = StrokeShape::Polygon; break;
                default: continue;
                }
                if ((s.Kind == vsEllipse || s.Kind == vsRectangle) && s.Points.size() != 2)
                    continue;
                placed.points.reserve(s.Points.size());
                for (const TVykPoint &q : s.Points)
                    placed.points.push_back(detail::nintPoint(ox + q.X * sx, oy + q.Y * sy));
                out.push_back(std::move(placed));
            }
        }
    }
    return out;
}

void StyleServices::DrawFillPattern(Canvas &canvas, const std::vector<QPoint> &points, int style, int color,
                                    int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                                    double /*rotation*/, double unitsPerPixelX, double unitsPerPixelY,
                                    bool /*outline*/)
{
    KeptCanvasState kept(canvas);
    if (style < 8) {
        // Style 0 (and below) fills nothing and draws no outline.
        if (style <= 0 || points.empty())
            return;
        detail::setPenStyle(canvas, PS_NULL);
        detail::selectBrush(canvas, builtInFill(style, colorOf(color)));
        canvas.polygon(points);
        return;
    }
    const TVykSymbol *pattern = FFillStyles.item(style);
    if (!pattern || points.size() < 3 || pattern->Kind == vkLine)
        return;
    // Both kinds place the pattern in 0.01 mm, each stroke with its own pen
    // and brush.
    const std::vector<QPoint> pts = toHimetric(canvas, points);

    if (pattern->Kind == vkSymbol) {
        if (pattern->Width <= 0 || pattern->Height <= 0)
            return;
        const Metafile cell = cellPicture(
            canvas.deviceMetrics(), *pattern,
            [](Canvas &c, const TVykStroke &s) {
                detail::setPen(c, Pen{PS_SOLID, strokePenWidth(s.PenWidth), colorOf(s.PenColor)});
                detail::selectBrush(c, brushFromStyleNumber(s.BrushStyle, colorOf(s.BrushColor)));
            },
            CellBoxes::AsGiven);
        stampCell(canvas, cell, *pattern, pts, scaleX, scaleY);
        return;
    }
    if (pattern->Kind != vkFill)
        return;
    const std::vector<PlacedStroke> plan = PlanFillTiles(pts, *pattern, pictureWidth, pictureHeight, scaleX, scaleY,
                                                         unitsPerPixelX, unitsPerPixelY);
    for (const PlacedStroke &placed : plan) {
        const TVykStroke &s = pattern->Strokes[static_cast<size_t>(placed.stroke)];
        detail::setPen(canvas, Pen{s.PenStyle, strokePenWidth(s.PenWidth), colorOf(s.PenColor)});
        detail::selectBrush(canvas, brushFromStyleNumber(s.BrushStyle, colorOf(s.BrushColor)));
        drawPlaced(canvas, placed);
    }
}

// ---- point ------------------------------------------------------------------

void StyleServices::DrawPointStyle(Canvas &canvas, const std::vector<QPoint> &points, int style, int color,
                                   int /*unused1*/, int /*unused2*/, double scaleX, double scaleY,
                                   double /*rotation*/)
{
    if (style <= 0)
        return;
    const TVykSymbol *pattern = FPointStyles.item(style);
    if (!pattern || pattern->Width <= 0 || pattern->Height <= 0 || points.empty())
        return;
    KeptCanvasState kept(canvas);
    const Metafile cell = cellPicture(
        canvas.deviceMetrics(), *pattern,
        [color](Canvas &c, const TVykStroke &s) {
            const Color pen = color > 0 ? colorOf(color) : colorOf(s.PenColor);
            const Color brush = color > 0 && !isPureWhite(s.BrushColor) ? colorOf(color) : colorOf(s.BrushColor);
            detail::setPen(c, Pen{PS_SOLID, strokePenWidth(s.PenWidth), pen});
            detail::selectBrush(c, brushFromStyleNumber(s.BrushStyle, brush));
        },
        CellBoxes::PointSymbol);
    stampCell(canvas, cell, *pattern, points, scaleX, scaleY);
}

// ---- the style pickers' cells -----------------------------------------------

Metafile PatternPicture(const DeviceMetrics &reference, const TVykSymbol &pattern)
{
    return cellPicture(
        reference, pattern,
        [](Canvas &c, const TVykStroke &s) {
            detail::setPen(c, Pen{s.PenStyle, s.PenWidth == 0 ? 10 : s.PenWidth, colorOf(s.PenColor)});
            detail::selectBrush(c, brushFromStyleNumber(s.BrushStyle, colorOf(s.BrushColor)));
        },
        CellBoxes::Picker);
}

void DrawPatternCell(Canvas &canvas, const TVykSymbol &pattern, const Rect &cell)
{
    if (pattern.Width <= 0 || pattern.Height <= 0)
        return;
    const double cw = cell.right - cell.left;
    const double ch = cell.bottom - cell.top;
    const double f = std::min(std::abs(cw) / pattern.Width, std::abs(ch) / pattern.Height);
    // Half the stretched picture, signed as the cell's axes run.
    const double hw = std::copysign(pattern.Width * f / 2, cw);
    const double hh = std::copysign(pattern.Height * f / 2, ch);
    const double mx = cell.left + cw / 2;
    const double my = cell.top + ch / 2;
    KeptCanvasState kept(canvas);
    canvas.drawMetafile(PatternPicture(canvas.deviceMetrics(), pattern),
                        Rect{nint(mx - hw), nint(my - hh), nint(mx + hw), nint(my + hh)});
}

// ---- line -------------------------------------------------------------------

namespace {

// A stroke of a line pattern ready for the walk: its points scaled (X along
// the line, Y across it), a rectangle of two corners as its closed ring.
struct WalkStroke {
    int index = 0;
    int kind = 0;
    std::vector<QPointF> points;
    double right = 0;    // Right, scaled as the whole-stroke rule takes it
    double middle = 0;   // an ellipse's centre along the pattern, from the cell's left
};

} // namespace

std::vector<PlacedStroke> StyleServices::PlanLineCopies(const std::vector<QPoint> &points, const TVykSymbol &pattern,
                                                        double sx, double sy, double pictureWidth,
                                                        double pictureHeight, double reach)
{
    std::vector<PlacedStroke> out;
    const double cellW = sx * pattern.Width;
    const long long step = nint(cellW);
    if (step < 1 || points.size() < 2)
        return out;
    const double halfW = cellW / 2.0;
    const double boundReach = 2.0 * pattern.Height * sy;

    // The strokes, and how far from a copy's centre any of them can ink.
    std::vector<WalkStroke> strokes;
    double radius = 0;
    for (size_t k = 0; k < pattern.Strokes.size(); ++k) {
        const TVykStroke &s = pattern.Strokes[k];
        if (s.Points.empty())
            continue;
        WalkStroke w;
        w.index = static_cast<int>(k);
        w.kind = s.Kind;
        for (const TVykPoint &q : s.Points)
            w.points.emplace_back(nint(sx * q.X), nint(sy * q.Y));
        if (s.Kind == vsRectangle && w.points.size() == 2) {
            const QPointF a = w.points[0], b = w.points[1];
            w.points = {a, QPointF(b.x(), a.y()), b, QPointF(a.x(), b.y()), a};
        }
        w.right = sx * (s.Right + pattern.Width / 2.0);
        w.middle = sx * (pattern.Width / 2.0 + s.Left + (static_cast<double>(s.Right) - s.Left) / 2.0);
        if (s.Kind == vsEllipse && w.points.size() == 2) {
            const QPointF c = (w.points[0] + w.points[1]) / 2.0;
            const QPointF h = (w.points[1] - w.points[0]) / 2.0;
            radius = std::max(radius, std::hypot(c.x(), c.y()) + std::hypot(h.x(), h.y()));
        } else {
            for (const QPointF &p : w.points)
                radius = std::max(radius, std::hypot(p.x(), p.y()));
        }
        strokes.push_back(std::move(w));
    }
    // The picture the copies are kept for, widened by what a copy can reach
    // beyond its centre (and a little for rounding).
    const bool cull = pictureWidth > 0 && pictureHeight > 0;
    const double margin = radius + std::max(0.0, reach) + 4.0;
    const double viewL = -margin, viewR = pictureWidth + margin, viewB = -pictureHeight - margin, viewT = margin;

    double c0 = 0;
    for (size_t k = 1; k < points.size(); ++k) {
        const QPoint P = points[k - 1];
        const QPoint Q = points[k];
        const double L = std::hypot(static_cast<double>(Q.x()) - P.x(), static_cast<double>(Q.y()) - P.y());
        const double theta = VykFunctions::DirectionAngleDeg(P.x(), P.y(), Q.x(), Q.y());
        const double ux = std::cos(theta * std::numbers::pi / 180.0), uy = std::sin(theta * std::numbers::pi / 180.0);

        // The distances along the segment at which a copy's centre lies close
        // enough to the picture to be seen.
        double seenFrom = -std::numeric_limits<double>::infinity();
        double seenTo = std::numeric_limits<double>::infinity();
        if (cull) {
            auto clipAxis = [&](double p0, double u, double lo, double hi) {
                if (u == 0) {
                    if (p0 < lo || p0 > hi)
                        seenFrom = 1, seenTo = 0;
                    return;
                }
                double a = (lo - p0) / u, b = (hi - p0) / u;
                if (a > b)
                    std::swap(a, b);
                seenFrom = std::max(seenFrom, a);
                seenTo = std::min(seenTo, b);
            };
            clipAxis(P.x(), ux, viewL, viewR);
            clipAxis(P.y(), uy, viewB, viewT);
        }
        // A little slack: the copies' centres come from the platform's polar
        // point, not from the unit vector above.
        const double slack = 1.0 + 1e-9 * (std::fabs(seenFrom) + std::fabs(seenTo));
        auto seen = [&](double d) { return !cull || (d >= seenFrom - slack && d <= seenTo + slack); };

        auto placeCopy = [&](long long pos, double carry) {
            const double d = halfW + pos - carry;
            if (!seen(d))
                return;
            const VykFunctions::TRealPoint centre = VykFunctions::PolarPoint(P.x(), P.y(), theta, 0, d);
            const double R = L - pos;
            const bool hasStart = carry != 0;
            for (const WalkStroke &s : strokes) {
                const bool ellipse = s.kind == vsEllipse;
                PlacedStroke placed;
                placed.stroke = s.index;
                placed.segment = static_cast<int>(k);
                placed.position = pos;
                placed.carry = carry;
                std::vector<QPointF> list;
                if (ellipse) {
                    // Never cut: drawn whole on the segment that holds its
                    // centre, or not at all.
                    const bool whole = hasStart ? (s.middle - carry > 0 && s.middle - carry <= R)
                                                : (R >= cellW || R >= s.right);
                    if (!whole || s.points.size() != 2)
                        continue;
                    list = s.points;
                    placed.shape = StrokeShape::Ellipse;
                } else {
                    const bool whole = R >= cellW || R >= s.right;
                    const bool hasEnd = !whole;
                    if (!hasStart && !hasEnd) {
                        list = s.points;
                    } else {
                        const double startBound = carry;
                        const double endBound = R + carry;
                        auto inStart = [&](const QPointF &p) { return !hasStart || halfW + p.x() >= startBound; };
                        auto inEnd = [&](const QPointF &p) { return !hasEnd || halfW + p.x() <= endBound; };
                        for (size_t i = 0; i < s.points.size(); ++i) {
                            const QPointF &p = s.points[i];
                            if (i > 0) {
                                const QPointF &q = s.points[i - 1];
                                auto cross = [&](double bound) {
                                    const double bx = bound - halfW;
                                    if (IntersectLines(2, q.x(), q.y(), 0, p.x(), p.y(), 0, bx, -boundReach, 0, bx,
                                                       boundReach, 0) == 1)
                                        list.emplace_back(nint(FCrossX), nint(FCrossY));
                                };
                                if (hasStart && inStart(q) != inStart(p))
                                    cross(startBound);
                                if (hasEnd && inEnd(q) != inEnd(p))
                                    cross(endBound);
                            }
                            if (inStart(p) && inEnd(p))
                                list.push_back(p);
                        }
                    }
                    if (list.empty())
                        continue;
                    if (s.kind == vsPolyline)
                        placed.shape = StrokeShape::Polyline;
                    else if (s.kind == vsRectangle || s.kind == vsPolygon)
                        placed.shape = StrokeShape::Polygon;
                    else
                        continue;
                }
                // Turned with the segment about the copy's centre.
                if (placed.shape == StrokeShape::Ellipse) {
                    const QPointF mid = (list[0] + list[1]) / 2.0;
                    VykFunctions::TPointXYZ turned;
                    VykFunctions::RotatePointAbout(turned, centre.X, centre.Y, 0, centre.X + mid.x(),
                                                   centre.Y + mid.y(), 0, 0, 0, 0, theta);
                    for (const QPointF &p : list)
                        placed.points.push_back(
                            detail::nintPoint(turned.X + (p.x() - mid.x()), turned.Y + (p.y() - mid.y())));
                } else {
                    placed.points.reserve(list.size());
                    for (const QPointF &p : list) {
                        VykFunctions::TPointXYZ turned;
                        VykFunctions::RotatePointAbout(turned, centre.X, centre.Y, 0, centre.X + p.x(),
                                                       centre.Y + p.y(), 0, 0, 0, 0, theta);
                        placed.points.push_back(detail::nintPoint(turned.X, turned.Y));
                    }
                }
                out.push_back(std::move(placed));
            }
        };

        long long pos = 0;
        if (c0 != 0) {
            placeCopy(0, c0);
            pos = nint(cellW - c0);
        }
        // The copies without carry: pos = base + m·step while pos <= L. Only
        // those that can be seen are placed; the walk's end is worked out.
        const long long base = pos;
        if (static_cast<double>(base) <= L) {
            long long last = clampToLong(std::floor((L - base) / static_cast<double>(step)));
            while (static_cast<double>(base + (last + 1) * step) <= L)
                ++last;
            while (last > 0 && static_cast<double>(base + last * step) > L)
                --last;
            long long first = 0;
            long long stop = last;
            if (cull) {
                if (seenFrom > seenTo + 2 * slack) {
                    first = last + 1;
                } else {
                    first = std::max(0LL, clampToLong(std::floor((seenFrom - slack - halfW - base) / step)) - 1);
                    stop = std::min(last, clampToLong(std::ceil((seenTo + slack - halfW - base) / step)) + 1);
                }
            }
            for (long long m = first; m <= stop; ++m)
                placeCopy(base + m * step, 0);
            pos = base + (last + 1) * step;
        }
        c0 = L - static_cast<double>(pos - step);
    }
    return out;
}

void StyleServices::DrawLineStyle(Canvas &canvas, const std::vector<QPoint> &points, int style, int color,
                                  int penWidth, double scaleX, double scaleY, double /*unused*/,
                                  double pictureWidth, double pictureHeight, bool /*everyCopy*/)
{
    if (style <= 0)
        return;
    KeptCanvasState kept(canvas);
    const Pen pen{PS_SOLID, penWidth, colorOf(color)};
    if (style == 1 || style == 34) {
        detail::setPen(canvas, pen);
        if (points.size() >= 2)
            canvas.polyline(points);
        if (style == 1)
            return;
    }
    if (style == 33)
        return;
    const TVykSymbol *pattern = FLineStyles.item(style);
    if (!pattern || nint(scaleX * pattern->Width) < 1)
        return;
    const std::vector<QPoint> pts = toHimetric(canvas, points);
    detail::setPen(canvas, pen);
    // A pen reaches half its width beyond a stroke; a pen of width 0 is one
    // pixel of the device.
    const QTransform toDevice = canvas.logicalToDevice();
    const double pixel = 1.0 / std::max(1e-9, std::hypot(toDevice.m11(), toDevice.m12()));
    const double reach = std::max<double>(penWidth, 0) + 2 * pixel;
    const std::vector<PlacedStroke> plan =
        PlanLineCopies(pts, *pattern, scaleX, scaleY, pictureWidth, pictureHeight, reach);
    for (const PlacedStroke &placed : plan) {
        const TVykStroke &s = pattern->Strokes[static_cast<size_t>(placed.stroke)];
        // The caller's colour paints every brush; a colour of 0 or below
        // spares the white ones.
        const Color brush = color <= 0 && isPureWhite(s.BrushColor) ? colorOf(s.BrushColor) : colorOf(color);
        detail::selectBrush(canvas, brushFromStyleNumber(s.BrushStyle, brush));
        drawPlaced(canvas, placed);
    }
}

// ---- the styled drawing of the map ----

void DrawStyledPolygon(StyleServices *styles, Canvas &canvas, const QPoint *points, int n, int style, int colour,
                       int pictureWidth, int pictureHeight, double scaleX, double scaleY, double rotation,
                       double unitsPerPixelX, double unitsPerPixelY, bool outline)
{
    if (!styles || n < 0)
        return;
    const std::vector<QPoint> copy(points, points + n + 1);
    styles->DrawFillPattern(canvas, copy, style, colour, pictureWidth, pictureHeight, scaleX, scaleY, rotation,
                            unitsPerPixelX, unitsPerPixelY, outline);
}

void DrawStyledLine(StyleServices *styles, Canvas &canvas, const QPoint *points, int n, int style, int colour,
                    int penWidth, double scaleAlong, double scaleAcross, double ignored, double pictureWidth,
                    double pictureHeight, bool drawEvery)
{
    if (!styles || n < 0)
        return;
    const std::vector<QPoint> copy(points, points + n);
    const double widen = penWidth / 50.0;
    styles->DrawLineStyle(canvas, copy, style, colour, penWidth, scaleAlong + widen, scaleAcross + widen, ignored,
                          pictureWidth, pictureHeight, drawEvery);
}

void DrawStyledPoint(StyleServices *styles, Canvas &canvas, const QPoint *points, int n, int style, int colour,
                     int ignored1, int ignored2, double scaleX, double scaleY, double rotation)
{
    if (!styles || n < 0)
        return;
    const std::vector<QPoint> copy(points, points + n);
    styles->DrawPointStyle(canvas, copy, style, colour, ignored1, ignored2, scaleX, scaleY, rotation);
}

} // namespace mapengine
