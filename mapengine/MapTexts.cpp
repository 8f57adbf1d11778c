// Text objects and fonts of the map control: the default text record, the
// extent of text and symbol objects at the current scale, rotated and aligned
// text, and fonts from loose values.

#include "mapengine/CanvasHelpers.h"
#include "mapengine/MapControlCore.h"

#include "mapdata/VykFunctions.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <numbers>

using namespace platform::gdi;
using namespace mapengine::detail;

namespace {

// The canvas alignment of an alignment code; other codes leave it.
void alignFromCenter(Canvas &c, int center)
{
    switch (center) {
    case 0:
    case 1: setTextAlign(c, TA_CENTER | TA_TOP); break;
    case 2: setTextAlign(c, TA_LEFT | TA_BASELINE); break;
    case 3: setTextAlign(c, TA_LEFT | TA_BOTTOM); break;
    case 4: setTextAlign(c, TA_LEFT | TA_TOP); break;
    default: break;
    }
}

// The font of a TMapFont at s points on a canvas in pixel mapping. Positive
// rotations turn the text clockwise on the screen.
LogFont rotatedFont(const Canvas &c, const TMapFont &font, int s)
{
    LogFont f;
    f.height = fontHeightForPoints(c, s);
    f.width = 0;
    f.escapement = -nint(font.Rotate * 10);
    f.orientation = f.escapement;
    f.weight = (font.TextStyle & 1) ? FW_BOLD : FW_NORMAL;
    f.italic = (font.TextStyle & 2) != 0;
    f.underline = (font.TextStyle & 4) != 0;
    f.strikeOut = (font.TextStyle & 8) != 0;
    f.charSet = RUSSIAN_CHARSET;
    f.outPrecision = 5;     // OUT_DEVICE_PRECIS
    f.clipPrecision = 16;   // CLIP_LH_ANGLES
    f.quality = 0;
    f.pitchAndFamily = 64;  // FF_SCRIPT
    f.faceName = font.FontName;
    return f;
}

// A value given as a number or as its text; a blank or unreadable text is 0.
double numberOf(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return 0;
        try {
            return VykFunctions::TextToFloat(text, 0);
        } catch (const platform::ConvertError &) {
            return 0;
        }
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0;
}

int intOf(const QVariant &v)
{
    return nint(numberOf(v));
}

} // namespace

void MapControlCore::InitTextRecord(TTextRecord &r)
{
    // The map data core knows the same default style (for labels it makes
    // without a map control): one definition serves both.
    IMapEngineServices::defaultTextRecord(r);
}

Size MapControlCore::MeasureRotatedText(Canvas &c, const TMapFont &font, const QString &text)
{
    if (text.isEmpty())
        return {};
    const int s = scaledSize(font.Size, font.Scale, 0);
    if (s <= 0)
        return {};
    alignFromCenter(c, font.Center);
    const LogFont previous = c.font();
    setFont(c, rotatedFont(c, font, s));
    const Size extent = c.textExtent(text);
    setFont(c, previous);
    return extent;
}

Rect MapControlCore::TextBoxExtent(Canvas &c, const QPoint &anchor, const QString &text, const TMapFont &font)
{
    const Size e = MeasureRotatedText(c, font, text);
    const double w = e.cx, h = e.cy;
    // The top edge centred on the anchor (device pixels, y downwards).
    QPointF corners[4] = {{-w / 2, h}, {-w / 2, 0}, {w / 2, 0}, {w / 2, h}};
    if (font.Rotate != 0) {
        // Clockwise on the screen, as the text is drawn.
        const double a = font.Rotate * std::numbers::pi / 180.0;
        const double cs = std::cos(a), sn = std::sin(a);
        for (QPointF &p : corners)
            p = QPointF(p.x() * cs - p.y() * sn, p.x() * sn + p.y() * cs);
    }
    double x0 = corners[0].x(), x1 = x0, y0 = corners[0].y(), y1 = y0;
    for (const QPointF &p : corners) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    Rect box{nint(anchor.x() + x0), nint(anchor.y() + y0), nint(anchor.x() + x1), nint(anchor.y() + y1)};
    if (c.mapMode() != MM_TEXT)
        std::swap(box.top, box.bottom);
    return box;
}

void MapControlCore::LayoutTextObject(const TTextRecord &record, double x, double y, double &xMin, double &yMin,
                                      double &xMax, double &yMax)
{
    if (record.Kind != okText && record.Kind != okSymbol)
        return;
    if (FScale == 0)
        return; // no view yet: nothing to lay out against
    Canvas &c = ControlCanvas();
    const QPoint logical = MapToLogical(x, y);
    setMapMode(c, MM_HIMETRIC);
    const QPoint anchor = c.lpToDp(logical);
    setMapMode(c, MM_TEXT);

    const int s = scaledSize(record.FontSize, record.TextScale, 0);
    const QString face = record.FontName.trimmed();
    LogFont f = c.font();
    f.faceName = face;
    f.height = fontHeightForPoints(c, s);
    setFont(c, f);

    Rect box{anchor.x(), anchor.y(), anchor.x(), anchor.y()};
    if (record.Kind == okSymbol) {
        // A size that comes out at nothing measures nothing.
        if (s > 0) {
            const Size e = c.textExtent(QString(record.Symbol));
            box = Rect{anchor.x() - nint(e.cx / 2.0), anchor.y() + nint(e.cy / 2.0), anchor.x() + nint(e.cx / 2.0),
                       anchor.y() - nint(e.cy / 2.0)};
        }
    } else {
        const TMapFont font = MakeMapFont({face, record.FontSize, record.Rotate, record.TextScale, record.TextColor, 0,
                                           RUSSIAN_CHARSET, record.TextAlign & 0xFF, 1,
                                           static_cast<int>(rgb(255, 255, 255))});
        box = TextBoxExtent(c, anchor, record.Text.trimmed(), font);
    }

    setMapMode(c, MM_HIMETRIC);
    TMapPoint a, b;
    LogicalToMap(QPointF(c.dpToLp(QPoint(box.left, box.top))), a);
    LogicalToMap(QPointF(c.dpToLp(QPoint(box.right, box.bottom))), b);
    setMapMode(c, MM_TEXT);
    xMin = std::min(a.X, b.X);
    xMax = std::max(a.X, b.X);
    yMin = std::min(a.Y, b.Y);
    yMax = std::max(a.Y, b.Y);
}

void MapControlCore::DrawRotatedText(Canvas &c, int x, int y, double denominator, const TMapFont &font,
                                     const QString &text)
{
    if (text.isEmpty())
        return;
    QPoint p = c.lpToDp(QPoint(x, y));
    const int mapMode = c.mapMode();
    alignFromCenter(c, font.Center);
    setMapMode(c, MM_TEXT);
    const int s = scaledSize(font.Size, font.Scale, denominator);
    const int dx = (font.ShiftX + 2) * s, dy = (font.ShiftY + 2) * s;
    switch (font.Position) {
    case 1: p.ry() -= dy; break;
    case 2: p.ry() += dy; break;
    case 3: p.rx() -= dx; break;
    case 4: p.rx() += dx; break;
    case 5: p.rx() -= dx; p.ry() -= dy; break;
    case 6: p.rx() -= dx; p.ry() += dy; break;
    case 7: p.rx() += dx; p.ry() -= dy; break;
    case 8: p.rx() += dx; p.ry() += dy; break;
    default: break;
    }
    if (s > 0) {
        setTextColor(c, static_cast<Color>(font.Color) & 0xFFFFFFu);
        const Color bk = static_cast<Color>(font.BrushColor) & 0xFFFFFFu;
        selectBrush(c, font.BrushStyle == 1 ? Brush{BS_NULL, bk, 0} : Brush{BS_SOLID, bk, 0});
        const LogFont previous = c.font();
        setFont(c, rotatedFont(c, font, s));
        // Code 1 centres the text on the point both ways.
        if (font.Center == 1)
            p.ry() -= nint(c.textExtent(text).cy / 2.0);
        c.textOut(p.x(), p.y(), text);
        setFont(c, previous);
    }
    setMapMode(c, mapMode);
}

TMapFont MapControlCore::MakeMapFont(const TMapFontValues &v)
{
    TMapFont f;
    f.FontName = v.FontName.toString();
    f.Size = intOf(v.Size);
    f.Rotate = numberOf(v.Rotate);
    f.Scale = intOf(v.Scale);
    f.Color = intOf(v.Color);
    f.TextStyle = static_cast<Byte>(intOf(v.TextStyle));
    f.Charset = static_cast<Byte>(intOf(v.Charset));
    f.Center = static_cast<Byte>(intOf(v.Center));
    f.BrushStyle = static_cast<Byte>(intOf(v.BrushStyle));
    f.BrushColor = intOf(v.BrushColor);
    f.TextSymbol = u' ';
    f.Position = 0;
    f.ShiftX = 0;
    f.ShiftY = 0;
    return f;
}
