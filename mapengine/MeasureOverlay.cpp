// Live measuring painters (the oval, any other figure being digitized, the
// ruler) and the image of a vertex being dragged, with segment captions.

#include "mapengine/CanvasHelpers.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/Measuring.h"
#include "mapengine/OverlayCanvas.h"

#include "mapdata/MapFunctions.h"

#include <cmath>
#include <numbers>

using namespace platform::gdi;
using namespace mapengine::detail;

namespace {

constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kWhite = rgb(255, 255, 255);

QString number(double v)
{
    return MapFunctions::RoundValue(v, 0, 2, true).toString();
}

double distance(double x1, double y1, double x2, double y2)
{
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

double distance(const TMapPoint &a, const TMapPoint &b)
{
    return distance(a.X, a.Y, b.X, b.Y);
}

Rect box(const QPoint &p, int dx, int dy)
{
    return Rect{p.x() - dx, p.y() + dy, p.x() + dx, p.y() - dy};
}

bool isLineType(int t) { return t == 3 || t == 13 || t == 23; }
bool isPolygonType(int t) { return t == 5 || t == 15 || t == 25; }

// The caption of the segment a-b: its length at its middle, along it.
void drawCaption(MapControlCore &m, Canvas &c, const QPoint &a, const QPoint &b, double length)
{
    const TMapFont font =
        MapControlCore::MakeMapFont({QStringLiteral("Arial"), 8, mapengine::CaptionRotation(a, b), 0, 0, 0,
                                     RUSSIAN_CHARSET, 0, 1, static_cast<int>(kWhite)});
    m.DrawRotatedText(c, nint(a.x() + (b.x() - a.x()) / 2.0), nint(a.y() + (b.y() - a.y()) / 2.0), 0, font,
                      number(length));
}

// The overlay of the live measures: 0.01 mm units, a thin pen of that colour
// and mode, no fill, black captions.
Canvas &beginMeasures(MapControlCore &m, Color pen, int rop2)
{
    Canvas &c = beginOverlay(m);
    setMapMode(c, MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 1, pen});
    c.setRop2(rop2);
    selectBrush(c, Brush{BS_NULL, kWhite, HS_HORIZONTAL});
    setTextColor(c, 0);
    return c;
}

std::vector<TMapPoint> figurePoints(const TNewObject &figure)
{
    std::vector<TMapPoint> points;
    points.reserve(figure.Points.size());
    for (const TNewPoint &p : figure.Points)
        points.push_back(TMapPoint{p.Point.X, p.Point.Y, 0});
    return points;
}

// The figure being digitized with its segment captions and the rubber
// segment to the cursor; the measures text.
QString drawFigureMeasures(MapControlCore &m, Canvas &c)
{
    // The figure the data core commits.
    TNewObject &figure = m.NewObject();
    const std::vector<TMapPoint> points = figurePoints(figure);
    const TMapPoint cursor{m.Drag().CursorX, m.Drag().CursorY, 0};
    const TMapPoint press{m.Drag().PressMapX, m.Drag().PressMapY, 0};
    double length = 0;
    const QString text = mapengine::MeasureText(points, cursor, press, &length);
    figure.Length = length;

    setTextAlign(c, TA_CENTER | TA_TOP);
    QPoint previous;
    for (size_t i = 0; i < points.size(); ++i) {
        const QPoint p = m.MapToLogical(points[i].X, points[i].Y);
        if (i == 0) {
            c.rectangle(box(p, 90, 90));
            c.moveTo(p.x(), p.y());
        } else {
            c.lineTo(p.x(), p.y());
            c.rectangle(box(p, 90, 90));
            drawCaption(m, c, previous, p, distance(points[i - 1], points[i]));
            c.moveTo(p.x(), p.y());
        }
        previous = p;
    }
    if (!points.empty()) {
        // The rubber segment carries the distance from the press point.
        const QPoint to = m.MapToLogical(cursor.X, cursor.Y);
        c.moveTo(previous.x(), previous.y());
        c.lineTo(to.x(), to.y());
        c.rectangle(box(to, 90, 90));
        drawCaption(m, c, previous, to, distance(press, cursor));
    }
    setTextAlign(c, TA_LEFT | TA_TOP);
    return text;
}

} // namespace

namespace mapengine {

QString MeasureText(const std::vector<TMapPoint> &points, const TMapPoint &cursor, const TMapPoint &press,
                    double *length)
{
    const size_t n = points.size();
    double sum = 0, digitized = 0;
    for (size_t i = 1; i < n; ++i) {
        digitized += distance(points[i - 1], points[i]);
        if (i >= 2)
            sum += points[i - 1].X * (points[i].Y - points[i - 2].Y);
    }
    double area = 0;
    if (n > 2) {
        // The ring closes through the cursor back to the first point.
        sum += points[n - 1].X * (cursor.Y - points[n - 2].Y) + cursor.X * (points[0].Y - points[n - 1].Y) +
               points[0].X * (points[1].Y - cursor.Y);
        area = std::fabs(sum / 2);
    }
    const double rubber = distance(press, cursor);
    if (length)
        *length = digitized;
    return QStringLiteral("L= ") + number(rubber) + QStringLiteral(" P= ") + number(digitized + rubber) +
           QStringLiteral(" S= ") + number(area);
}

double CaptionRotation(const QPoint &a, const QPoint &b)
{
    // The direction with y as the first coordinate, from b to a.
    const double d = MapFunctions::DirectionAngleRad(b.y(), b.x(), a.y(), a.x()) * 180 / std::numbers::pi;
    double r = d - 90;
    if (r > 90 && r < 270)
        r -= 180;
    return r;
}

} // namespace mapengine

void MapControlCore::DrawMeasureSegment(QString &text)
{
    Canvas &c = beginMeasures(*this, kBlue, R2_COPYPEN);
    TNewObject &figure = FNewObject;
    figure.Length = 0;
    if (!figure.Points.empty()) {
        const QPoint a = MapToLogical(figure.Points.front().Point.X, figure.Points.front().Point.Y);
        const QPoint b = MapToLogical(FCursorX, FCursorY);
        c.ellipse(Rect{a.x(), a.y(), b.x(), b.y()});
    }
    text = QStringLiteral("L= ") + number(distance(FPressMapX, FPressMapY, FCursorX, FCursorY));
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawDrawingMeasures(QString &text)
{
    Canvas &c = beginMeasures(*this, kBlue, R2_COPYPEN);
    text = drawFigureMeasures(*this, c);
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawRulerMeasures(QString &text)
{
    Canvas &c = beginMeasures(*this, kRed, R2_NOTXORPEN);
    text = drawFigureMeasures(*this, c);
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawSnapIndicator(double x, double y, Qt::KeyboardModifiers shift, QString &text)
{
    text.clear();
    Canvas &c = beginOverlay(*this);
    setMapMode(c, MM_HIMETRIC);
    c.setPen(Pen{PS_SOLID, 1, kBlue});
    c.setRop2(R2_COPYPEN);
    const Brush solid{BS_SOLID, kWhite, HS_HORIZONTAL};
    selectBrush(c, solid);
    const TMapPoint cursor{x, y, 0};
    const QPoint C = MapToLogical(x, y);
    const int px = nint(FUnitsPerPixelX), py = nint(FUnitsPerPixelY);
    const bool alt = shift.testFlag(Qt::AltModifier);
    const bool ctrl = shift.testFlag(Qt::ControlModifier);

    auto caption = [&](const QPoint &a, const QPoint &b, double length) {
        drawCaption(*this, c, a, b, length);
        selectBrush(c, solid);
    };
    // A step of the walk along a part: the segment from the vertex before,
    // with its length, unless q is the part's first vertex.
    auto stepTo = [&](bool first, const QPoint &from, const TMapPoint &fromMap, const QPoint &q,
                      const TMapPoint &m) {
        if (!first) {
            c.lineTo(q.x(), q.y());
            caption(from, q, distance(fromMap, m));
        }
        c.moveTo(q.x(), q.y());
    };

    for (size_t r = 0; r < FSelection.Entries.size(); ++r) {
        const TSelObject e = FSelection.Entries[r];
        TLayerStream stream;
        OpenLayerStream(stream, e.Layer);
        if (!stream.ShpHandle)
            continue; // a layer that cannot be opened is passed over
        ReadShapeRecord(stream, e.Layer, e.Index);
        const int type = stream.Header.ShapeType;
        const shp::RecordKind kind = shp::recordKindOf(type);
        const bool isText = kind == shp::RecordKind::Text;
        const int objectKind = isText ? stream.TextHead.Kind : 0;

        const std::vector<TShpParts> parts = readRecordParts(stream, e.Layer, e.Index);

        const int v = e.VertexIndex;
        const bool lineLike = isText ? (objectKind == okLine || objectKind == okPolygon || objectKind == okCurve)
                                     : (isLineType(type) || isPolygonType(type));
        if (!alt) {
            if (ctrl && kind == shp::RecordKind::Raster) {
                // The pixel of the picture under the cursor.
                c.moveTo(C.x() - 500, C.y());
                c.lineTo(C.x() + 500, C.y());
                c.moveTo(C.x(), C.y() - 500);
                c.lineTo(C.x(), C.y() + 500);
                const shp::RasterRecordHead &h = stream.RasterHead;
                const double w = h.XMax - h.XMin, hgt = h.YMax - h.YMin;
                const int column = w != 0 ? nint((x - h.XMin) * h.ImageWidth / w) : 0;
                const int row = hgt != 0 ? nint((h.YMax - y) * h.ImageHeight / hgt) : 0;
                text = QStringLiteral("X= ") + QString::number(column) + QStringLiteral(" Y= ") +
                       QString::number(row);
            } else if ((isText && (objectKind == okText || objectKind == okPoint || objectKind == okSymbol)) ||
                       (!isText && (type == 10 || type == 1 || type == 11 || type == 21))) {
                c.rectangle(box(C, 3 * px, 3 * py));
            } else if (isText && objectKind == okOval) {
                int position = 0;
                QPoint first, last;
                int n = 0;
                for (const TShpParts &part : parts) {
                    for (const TShpPoint &p : part.Points) {
                        const QPoint q = position == v ? C : MapToLogical(p.X, p.Y);
                        c.rectangle(n == 0 ? box(q, 60, 60) : box(q, 2 * px, 2 * py));
                        if (n == 0)
                            first = q;
                        last = q;
                        ++n;
                        ++position;
                    }
                }
                if (n > 1)
                    c.ellipse(Rect{first.x(), first.y(), last.x(), last.y()});
            } else if (lineLike) {
                // The dragged vertex at the cursor.
                int position = 0;
                for (const TShpParts &part : parts) {
                    QPoint previous;
                    TMapPoint previousMap;
                    for (size_t k = 0; k < part.Points.size(); ++k, ++position) {
                        const bool dragged = position == v;
                        const TMapPoint m = dragged ? cursor : TMapPoint{part.Points[k].X, part.Points[k].Y, 0};
                        const QPoint q = dragged ? C : MapToLogical(m.X, m.Y);
                        stepTo(k == 0, previous, previousMap, q, m);
                        c.rectangle(dragged ? box(q, 3 * px, 3 * py) : k == 0 ? box(q, 60, 60) : box(q, 2 * px, 2 * py));
                        previous = q;
                        previousMap = m;
                    }
                }
            }
        } else if (lineLike) {
            // A new vertex after v, at the cursor.
            int position = 0;
            for (const TShpParts &part : parts) {
                QPoint previous;
                TMapPoint previousMap;
                for (size_t k = 0; k < part.Points.size(); ++k, ++position) {
                    const TMapPoint m{part.Points[k].X, part.Points[k].Y, 0};
                    const QPoint q = MapToLogical(m.X, m.Y);
                    stepTo(k == 0, previous, previousMap, q, m);
                    c.rectangle(k == 0 ? box(q, 60, 60) : box(q, 2 * px, 2 * py));
                    previous = q;
                    previousMap = m;
                    if (position == v) {
                        c.lineTo(C.x(), C.y());
                        caption(q, C, distance(m, cursor));
                        c.rectangle(box(C, 3 * px, 3 * py));
                        c.moveTo(C.x(), C.y());
                        previous = C;
                        previousMap = cursor;
                    }
                }
            }
        }
        FreeShapeRecord(stream);
        CloseLayerStream(stream);
    }
    PictureBitmap().releaseCanvas();
    repaintNow();
}
