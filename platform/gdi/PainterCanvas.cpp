#include "platform/gdi/PainterCanvas.h"

#include "platform/Rounding.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/RasterOps.h"

#include <QFontInfo>
#include <QPainterPath>

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>
#include <cmath>

namespace platform::gdi {

namespace {

int roundInt(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -1073741824.0, 1073741823.0)));
}

// Device coordinates far outside any image: the painter's fixed-point
// arithmetic would wrap beyond these, so points are held inside.
constexpr double kFar = 4.0e6;

// Glyphs larger than this many pixels are filled as outlines (drawText).
constexpr double kLargestCachedGlyph = 256;

QPointF clampPoint(const QPointF &p)
{
    return QPointF(std::clamp(p.x(), -kFar, kFar), std::clamp(p.y(), -kFar, kFar));
}

QColor opaque(Color c)
{
    return toQColor(c);
}

} // namespace

std::optional<QPainter::CompositionMode> PainterCanvas::compositionFor(int rop2)
{
    switch (rop2) {
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_COPYPEN: return QPainter::CompositionMode_SourceOver;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    default:
        // Black, white and no-operation are drawn by the per-pixel path (or not at all).
        return std::nullopt;
    }
}

DeviceMetrics PainterCanvas::metricsOf(const QPaintDevice &device)
{
    DeviceMetrics m;
    m.horzRes = std::max(1, device.width());
    m.vertRes = std::max(1, device.height());
    m.logPixelsX = std::max(1, device.logicalDpiX());
    m.logPixelsY = std::max(1, device.logicalDpiY());
    m.horzSize = device.widthMM() > 0 ? device.widthMM() : std::max(1, roundInt(m.horzRes * 25.4 / m.logPixelsX));
    m.vertSize = device.heightMM() > 0 ? device.heightMM() : std::max(1, roundInt(m.vertRes * 25.4 / m.logPixelsY));
    return m;
}

PainterCanvas::PainterCanvas(QImage &image, const DeviceMetrics &metrics) : Canvas(metrics), image_(&image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    painter_ = std::make_unique<QPainter>(&image);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
}

PainterCanvas::PainterCanvas(QPaintDevice &device, const DeviceMetrics &metrics) : Canvas(metrics)
{
    painter_ = std::make_unique<QPainter>(&device);
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

PainterCanvas::~PainterCanvas()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

void PainterCanvas::applyClip(QPainter &p) const
{
    const std::optional<QRegion> &clip = effectiveClip();
    if (clip)
        p.setClipRegion(*clip);
    else
        p.setClipping(false);
}

void PainterCanvas::keepClip(QPainter &p)
{
    if (clipKnown_ && clipSet_ == clipSerial())
        return;
    applyClip(p);
    clipKnown_ = true;
    clipSet_ = clipSerial();
    const std::optional<QRegion> &clip = effectiveClip();
    clipBounds_ = clip ? clip->boundingRect() : QRect();
}

const QPen &PainterCanvas::qpen(const QColor &color)
{
    const Pen &pen = state_.pen;
    const PenKey key{pen, pen.style == PS_NULL ? 0 : devicePenWidth(), color.rgba()};
    if (penKey_ && *penKey_ == key)
        return pen_;
    penKey_ = key;
    if (pen.style == PS_NULL) {
        pen_ = QPen(Qt::NoPen);
        return pen_;
    }
    const int w = key.width;
    QPen q(color);
    q.setWidth(w);
    if (w <= 1) {
        // One-pixel lines leave out their last pixel, as the platform's do.
        q.setWidth(0);
        q.setCapStyle(Qt::FlatCap);
        q.setJoinStyle(Qt::MiterJoin);
    } else {
        q.setCapStyle(Qt::RoundCap);
        q.setJoinStyle(Qt::RoundJoin);
    }
    // Dashes only show on pens of at most one logical unit.
    if (pen.width <= 1) {
        switch (pen.style) {
        case PS_DASH: q.setDashPattern({18, 6}); break;
        case PS_DOT: q.setDashPattern({3, 3}); break;
        case PS_DASHDOT: q.setDashPattern({9, 6, 3, 6}); break;
        case PS_DASHDOTDOT: q.setDashPattern({9, 3, 3, 3, 3, 3}); break;
        default: break;
        }
    }
    pen_ = q;
    return pen_;
}

const QBrush &PainterCanvas::qbrush(const Ink &ink)
{
    const Brush &b = state_.brush;
    const BrushKey key{b, ink.brush.rgba(), ink.bk.rgba(), state_.bkMode};
    if (brushKey_ && *brushKey_ == key)
        return brush_;
    brushKey_ = key;
    if (b.style == BS_NULL) {
        brush_ = QBrush(Qt::NoBrush);
    } else if (b.style == BS_HATCHED) {
        QImage tile(8, 8, QImage::Format_ARGB32);
        const QRgb fg = ink.brush.rgba();
        const QRgb bg = state_.bkMode == OPAQUE ? ink.bk.rgba() : 0u;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tile.setPixel(x, y, hatchPixel(b.hatch, x, y) ? fg : bg);
        brush_ = QBrush(tile);
    } else {
        brush_ = QBrush(ink.brush);
    }
    return brush_;
}

void PainterCanvas::drawShape(QPainter &p, const RecordView &r, const Ink &ink)
{
    static const QBrush noBrush(Qt::NoBrush);
    static const QPen noPen(Qt::NoPen);
    const QTransform t = logicalToDevice();
    auto dev = [&](const QPoint &lp) {
        const QPointF d = clampPoint(mapPoint(t, QPointF(lp)));
        return QPointF(roundInt(d.x()), roundInt(d.y()));
    };
    const QPen &pen = qpen(ink.pen);
    const bool hasPen = pen.style() != Qt::NoPen;
    const bool dashed = hasPen && pen.style() == Qt::CustomDashLine;
    // Lines have no fill.
    const bool filled = r.type != EMR_LINETO && r.type != EMR_POLYLINE;
    const QBrush &brush = filled ? qbrush(ink) : noBrush;
    const bool hasBrush = brush.style() != Qt::NoBrush;
    if (p.brushOrigin() != QPoint(0, 0))
        p.setBrushOrigin(0, 0);

    // Styled lines show the background colour in their gaps when it is opaque.
    const bool twice = dashed && state_.bkMode == OPAQUE;
    auto stroke = [&](auto &&drawFn) {
        if (!hasPen)
            return;
        // Lines are not filled whatever the brush; figures are outlined without one.
        if (filled)
            p.setBrush(noBrush);
        if (twice) {
            QPen under = pen;
            under.setStyle(Qt::SolidLine);
            under.setColor(ink.bk);
            p.setPen(under);
            drawFn();
        }
        p.setPen(pen);
        drawFn();
    };
    auto fill = [&](auto &&drawFn) {
        if (!hasBrush)
            return;
        p.setPen(noPen);
        p.setBrush(brush);
        drawFn();
    };

    switch (r.type) {
    case EMR_LINETO: {
        const QPointF a = dev(state_.current), b = dev(r.point);
        stroke([&] { p.drawLine(a, b); });
        break;
    }
    case EMR_POLYLINE: {
        if (r.points.size() < 2)
            break;
        QPolygonF poly;
        poly.reserve(static_cast<qsizetype>(r.points.size()));
        for (const QPoint &q : r.points)
            poly << dev(q);
        stroke([&] { p.drawPolyline(poly); });
        break;
    }
    case EMR_POLYGON: {
        // The common figure of a map: one ring, built in a buffer kept between figures.
        QPolygonF &poly = polygon_;
        poly.clear();
        poly.reserve(static_cast<qsizetype>(r.points.size()));
        for (const QPoint &q : r.points)
            poly << dev(q);
        const Qt::FillRule rule = state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        if (hasPen && hasBrush && !twice && poly.size() >= 2) {
            // The painter fills a polygon and then outlines it, as the two
            // steps below do, in one call.
            p.setPen(pen);
            p.setBrush(brush);
            p.drawPolygon(poly, rule);
            break;
        }
        fill([&] { p.drawPolygon(poly, rule); });
        stroke([&] {
            if (poly.size() >= 2)
                p.drawPolygon(poly);
        });
        break;
    }
    case EMR_POLYPOLYGON: {
        std::vector<QPolygonF> polys;
        {
            size_t at = 0;
            for (int n : r.counts) {
                QPolygonF poly;
                for (int k = 0; k < n && at < r.points.size(); ++k, ++at)
                    poly << dev(r.points[at]);
                polys.push_back(poly);
            }
        }
        const Qt::FillRule rule = state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        if (polys.size() == 1) {
            fill([&] { p.drawPolygon(polys.front(), rule); });
        } else {
            QPainterPath path;
            path.setFillRule(rule);
            for (const QPolygonF &poly : polys)
                if (poly.size() >= 2)
                    path.addPolygon(poly), path.closeSubpath();
            fill([&] { p.drawPath(path); });
        }
        stroke([&] {
            for (const QPolygonF &poly : polys)
                if (poly.size() >= 2)
                    p.drawPolygon(poly);
        });
        break;
    }
    case EMR_RECTANGLE:
    case EMR_ELLIPSE: {
        const QPointF a = dev(QPoint(r.rect.left, r.rect.top)), b = dev(QPoint(r.rect.right, r.rect.bottom));
        const int l = static_cast<int>(std::min(a.x(), b.x())), rr = static_cast<int>(std::max(a.x(), b.x()));
        const int tp = static_cast<int>(std::min(a.y(), b.y())), bt = static_cast<int>(std::max(a.y(), b.y()));
        if (rr - l < 1 || bt - tp < 1)
            break;
        // The far edges are left out; without a pen the figure is one pixel smaller.
        const QRect outline(l, tp, rr - l - 1, bt - tp - 1);
        const int w = hasPen ? devicePenWidth() : 0;
        if (r.type == EMR_RECTANGLE) {
            const QRect inner = hasPen ? QRect(l, tp, rr - l, bt - tp) : QRect(l, tp, rr - l - 1, bt - tp - 1);
            fill([&] { p.drawRect(inner); });
            if (w <= 1) {
                stroke([&] { p.drawRect(outline); });
            } else {
                const QRectF mid = QRectF(l, tp, rr - l, bt - tp).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0);
                stroke([&] { p.drawRect(mid); });
            }
        } else {
            fill([&] { p.drawEllipse(outline); });
            stroke([&] { p.drawEllipse(outline); });
        }
        break;
    }
    default:
        break;
    }
}

QRect PainterCanvas::shapeBounds(const RecordView &r) const
{
    const QTransform t = logicalToDevice();
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    auto add = [&](const QPoint &lp) {
        const QPointF d = clampPoint(t.map(QPointF(lp)));
        x0 = std::min(x0, d.x()); y0 = std::min(y0, d.y());
        x1 = std::max(x1, d.x()); y1 = std::max(y1, d.y());
    };
    switch (r.type) {
    case EMR_LINETO: add(state_.current); add(r.point); break;
    case EMR_RECTANGLE: case EMR_ELLIPSE: case EMR_STRETCHDIBITS:
        add(QPoint(r.rect.left, r.rect.top));
        add(QPoint(r.rect.right, r.rect.bottom));
        break;
    default: {
        // The box of the points, then its corners: the mapping is affine,
        // so the corners' box holds every mapped point.
        if (r.points.empty())
            break;
        int lx0 = r.points.front().x(), ly0 = r.points.front().y(), lx1 = lx0, ly1 = ly0;
        for (const QPoint &p : r.points) {
            lx0 = std::min(lx0, p.x());
            lx1 = std::max(lx1, p.x());
            ly0 = std::min(ly0, p.y());
            ly1 = std::max(ly1, p.y());
        }
        add(QPoint(lx0, ly0));
        add(QPoint(lx1, ly1));
        if (t.isRotating()) {
            add(QPoint(lx0, ly1));
            add(QPoint(lx1, ly0));
        }
        break;
    }
    }
    if (x0 > x1)
        return QRect();
    const int m = devicePenWidth() + 2;
    return QRect(QPoint(static_cast<int>(std::floor(x0)) - m, static_cast<int>(std::floor(y0)) - m),
                 QPoint(static_cast<int>(std::ceil(x1)) + m, static_cast<int>(std::ceil(y1)) + m));
}

void PainterCanvas::drawExact(const RecordView &r, const Ink &ink)
{
    QRect area = shapeBounds(r) & image_->rect();
    if (const std::optional<QRegion> clip = effectiveClip())
        area &= clip->boundingRect();
    if (area.isEmpty())
        return;
    // What copy mode would put on each pixel, on a transparent layer.
    QImage layer(area.size(), QImage::Format_ARGB32);
    layer.fill(0);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing, false);
        lp.setCompositionMode(QPainter::CompositionMode_Source);
        lp.translate(-area.topLeft());
        drawShape(lp, r, ink);
    }
    QImage result = image_->copy(area);
    if (result.format() != QImage::Format_RGB32 && result.format() != QImage::Format_ARGB32_Premultiplied)
        result = result.convertToFormat(QImage::Format_RGB32);
    const int rop = state_.rop2;
    for (int y = 0; y < area.height(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
        QRgb *dst = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            if (qAlpha(src[x]) != 255)
                continue;
            dst[x] = 0xFF000000u | applyRop2(rop, src[x] & 0xFFFFFF, dst[x] & 0xFFFFFF);
        }
    }
    putPixels(area, result);
}

void PainterCanvas::putPixels(const QRect &area, const QImage &pixels)
{
    QPainter &p = *painter_;
    p.save();
    applyClip(p);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(area.topLeft(), pixels);
    p.restore();
}

void PainterCanvas::drawText(const RecordView &r)
{
    if (r.text().isEmpty())
        return;
    const TextLayout l = layoutText(r.text());
    if (!l.visible)
        return;
    const TextPlacement pl = placeText(r.point, l);
    QPainter &p = *painter_;
    p.save();
    applyClip(p);
    // Text is not subject to the pen mode.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(pl.origin);
    p.rotate(-pl.angle);
    if (state_.bkMode == OPAQUE)
        p.fillRect(QRectF(0, -l.ascent, l.width, l.ascent + l.descent), opaque(state_.bkColor));
    // Glyphs are drawn whole into the painter's glyph cache before the clip
    // applies: one of a font tens of thousands of pixels high takes seconds
    // and gigabytes, however little of it shows. Such text is filled as
    // outlines, which are clipped as they are drawn; past what the painter's
    // arithmetic holds, it is not drawn.
    const QFont &font = l.font;
    // The size the glyphs take on the device: the font's, widened, through
    // the painter's transform (a world transform can enlarge a small font).
    const QTransform t = p.combinedTransform();
    const double deviceScale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
    const double fontPixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    // A stretch narrows or widens the glyphs; they stay as high as the font.
    const double glyphSize = fontPixels * std::max(font.stretch() / 100.0, 1.0) *
                             (std::isfinite(deviceScale) ? std::max(deviceScale, 1.0) : kFar * 2);
    if (glyphSize <= kLargestCachedGlyph) {
        p.setFont(font);
        p.setPen(opaque(state_.textColor));
        p.drawText(QPointF(0, 0), l.shown);
    } else if (glyphSize <= kFar) {
        QPainterPath outline;
        outline.addText(QPointF(0, 0), font, l.shown);
        p.fillPath(outline, opaque(state_.textColor));
    }
    p.restore();
}

void PainterCanvas::drawBits(const RecordView &r)
{
    const QTransform t = logicalToDevice();
    const QPointF a = clampPoint(t.map(QPointF(r.rect.left, r.rect.top)));
    const QPointF b = clampPoint(t.map(QPointF(r.rect.right, r.rect.bottom)));
    int x0 = roundInt(a.x()), y0 = roundInt(a.y()), x1 = roundInt(b.x()), y1 = roundInt(b.y());
    const bool mirrorX = x1 < x0, mirrorY = y1 < y0;
    if (mirrorX) std::swap(x0, x1);
    if (mirrorY) std::swap(y0, y1);
    const int dw = x1 - x0, dh = y1 - y0;
    if (dw <= 0 || dh <= 0)
        return;
    const std::uint32_t rop = r.rop;
    const bool useSource = rop3UsesSource(rop);
    QImage src;
    QRect sr = r.source;
    if (useSource) {
        const QImage &image = r.image();
        if (image.isNull())
            return;
        src = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                  ? image
                  : image.convertToFormat(QImage::Format_RGB32);
        // A negative source extent mirrors too.
        if (sr.width() == 0 || sr.height() == 0)
            return;
    }
    const bool srcMirrorX = sr.width() < 0, srcMirrorY = sr.height() < 0;
    const int sw = std::abs(sr.width()), sh = std::abs(sr.height());
    const int sx0 = srcMirrorX ? sr.left() + sr.width() : sr.left();
    const int sy0 = srcMirrorY ? sr.top() + sr.height() : sr.top();
    const bool flipX = mirrorX != srcMirrorX, flipY = mirrorY != srcMirrorY;

    QRect area(x0, y0, dw, dh);
    QRect bounds = image_ ? image_->rect() : QRect(-kFar, -kFar, 2 * kFar, 2 * kFar);
    if (!image_)
        bounds = QRect(QPoint(0, 0), QSize(painter_->device()->width(), painter_->device()->height()));
    area &= bounds;
    if (const std::optional<QRegion> clip = effectiveClip())
        area &= clip->boundingRect();
    if (area.isEmpty())
        return;

    QImage result;
    if (image_) {
        result = image_->copy(area);
        if (result.format() != QImage::Format_RGB32)
            result = result.convertToFormat(QImage::Format_RGB32);
    } else {
        result = QImage(area.size(), QImage::Format_RGB32);
        result.fill(0xFFFFFFFFu); // the page is white paper
    }
    const Brush &brush = state_.brush;
    const std::uint32_t brushRgb = brush.style == BS_NULL ? 0u : (toPixel(brush.color) & 0xFFFFFF);
    const std::uint32_t bkRgb = toPixel(state_.bkColor) & 0xFFFFFF;
    for (int y = 0; y < area.height(); ++y) {
        const int dy = area.top() + y;
        QRgb *dst = reinterpret_cast<QRgb *>(result.scanLine(y));
        const QRgb *srow = nullptr;
        if (useSource) {
            int k = static_cast<int>(std::floor((dy - y0 + 0.5) * sh / dh));
            k = std::clamp(k, 0, sh - 1);
            const int sy = sy0 + (flipY ? sh - 1 - k : k);
            if (sy < 0 || sy >= src.height())
                continue;
            srow = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        }
        for (int x = 0; x < area.width(); ++x) {
            const int dx = area.left() + x;
            std::uint32_t s = 0;
            if (useSource) {
                int k = static_cast<int>(std::floor((dx - x0 + 0.5) * sw / dw));
                k = std::clamp(k, 0, sw - 1);
                const int sx = sx0 + (flipX ? sw - 1 - k : k);
                if (sx < 0 || sx >= src.width())
                    continue;
                s = srow[sx] & 0xFFFFFF;
            }
            std::uint32_t pat = brushRgb;
            if (brush.style == BS_HATCHED)
                pat = hatchPixel(brush.hatch, dx, dy) ? brushRgb : bkRgb;
            dst[x] = 0xFF000000u | applyRop3(rop, pat, s, dst[x] & 0xFFFFFF);
        }
    }
    putPixels(area, result);
}

void PainterCanvas::perform(const RecordView &r)
{
    switch (r.type) {
    case EMR_LINETO: case EMR_POLYLINE: case EMR_POLYGON: case EMR_POLYPOLYGON: case EMR_RECTANGLE:
    case EMR_ELLIPSE:
        break;
    case EMR_EXTTEXTOUTW:
        drawText(r);
        return;
    case EMR_STRETCHDIBITS:
        drawBits(r);
        return;
    default:
        return;
    }
    const int rop = state_.rop2;
    if (rop == R2_NOP)
        return;
    // A figure wholly outside the clip (a band of a picture played in bands)
    // draws nothing there.
    if (image_) {
        keepClip(*painter_);
        if (!clipBounds_.isNull() && !shapeBounds(r).intersects(clipBounds_))
            return;
    }
    Ink ink{opaque(state_.pen.color), opaque(state_.brush.color), opaque(state_.bkColor)};
    QPainter &p = *painter_;
    if (!image_) {
        // On paper the screen is white: each colour becomes what the pen mode
        // makes of it on white.
        if (rop != R2_COPYPEN) {
            ink.pen = toQColor(fromPixel(applyRop2(rop, toPixel(state_.pen.color) & 0xFFFFFF, 0xFFFFFF)));
            ink.brush = toQColor(fromPixel(applyRop2(rop, toPixel(state_.brush.color) & 0xFFFFFF, 0xFFFFFF)));
            ink.bk = toQColor(fromPixel(applyRop2(rop, toPixel(state_.bkColor) & 0xFFFFFF, 0xFFFFFF)));
        }
        p.save();
        applyClip(p);
        drawShape(p, r, ink);
        p.restore();
        return;
    }
    if (rop == R2_COPYPEN) {
        // The common case, without saving the painter around each figure.
        keepClip(p);
        if (held_ && r.type == EMR_POLYLINE && outlineHeldFill(p, r, ink))
            return;
        drawHeldFill();
        if (r.type == EMR_POLYGON && holdFill(r, ink))
            return;
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        drawShape(p, r, ink);
        return;
    }
    drawHeldFill();
    // The painter's raster operations apply to one solid colour at a time;
    // everything else (black, white, hatches, pen and brush together, styled
    // lines) takes the per-pixel path.
    const std::optional<QPainter::CompositionMode> mode = compositionFor(rop);
    const bool hasPen = state_.pen.style != PS_NULL;
    const bool hasBrush = state_.brush.style != BS_NULL
                          && (r.type == EMR_POLYGON || r.type == EMR_POLYPOLYGON || r.type == EMR_RECTANGLE
                              || r.type == EMR_ELLIPSE);
    const bool solidPen = !hasPen || state_.pen.style == PS_SOLID || state_.pen.style == PS_INSIDEFRAME
                          || state_.pen.width > 1 || state_.bkMode == TRANSPARENT;
    const bool single = (hasPen != hasBrush) && (!hasBrush || state_.brush.style == BS_SOLID) && solidPen;
    if (mode && single && !exactOnly_) {
        p.save();
        applyClip(p);
        p.setCompositionMode(*mode);
        drawShape(p, r, ink);
        p.restore();
        return;
    }
    drawExact(r, ink);
}

void PainterCanvas::devicePolygon(const RecordView &r, QPolygonF &out) const
{
    const QTransform t = logicalToDevice();
    out.clear();
    out.reserve(static_cast<qsizetype>(r.points.size()));
    for (const QPoint &q : r.points) {
        const QPointF d = clampPoint(mapPoint(t, QPointF(q)));
        out << QPointF(roundInt(d.x()), roundInt(d.y()));
    }
}

bool PainterCanvas::holdFill(const RecordView &r, const Ink &ink)
{
    // Only while a picture plays: the end of the records draws what is held.
    if (state_.playDepth == 0 || state_.pen.style != PS_NULL || r.points.size() < 3)
        return false;
    const QBrush &brush = qbrush(ink);
    if (brush.style() == Qt::NoBrush)
        return false;
    HeldFill h;
    devicePolygon(r, h.points);
    h.brush = brush;
    h.rule = state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    held_ = std::move(h);
    return true;
}

bool PainterCanvas::outlineHeldFill(QPainter &p, const RecordView &r, const Ink &ink)
{
    // The same closed ring with a plain solid pen.
    if (r.points.size() != static_cast<size_t>(held_->points.size()) || r.points.front() != r.points.back())
        return false;
    const QPen &pen = qpen(ink.pen);
    if (pen.style() != Qt::SolidLine)
        return false;
    devicePolygon(r, polygon_);
    if (polygon_ != held_->points)
        return false;
    if (p.brushOrigin() != QPoint(0, 0))
        p.setBrushOrigin(0, 0);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(pen);
    p.setBrush(held_->brush);
    p.drawPolygon(polygon_, held_->rule);
    held_.reset();
    return true;
}

void PainterCanvas::drawHeldFill()
{
    if (!held_)
        return;
    static const QPen noPen(Qt::NoPen);
    QPainter &p = *painter_;
    keepClip(p);
    if (p.brushOrigin() != QPoint(0, 0))
        p.setBrushOrigin(0, 0);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(noPen);
    p.setBrush(held_->brush);
    p.drawPolygon(held_->points, held_->rule);
    held_.reset();
}

void PainterCanvas::beforeRecord(const RecordView &r)
{
    if (!held_)
        return;
    switch (r.type) {
    // What a renderer sets between a fill and its outline leaves the held
    // fill as it is (its brush was made with the background of its time,
    // and only a solid outline joins it).
    case EMR_CREATEPEN: case EMR_CREATEBRUSHINDIRECT: case EMR_SELECTOBJECT: case EMR_DELETEOBJECT:
    case EMR_SETBKCOLOR: case EMR_SETBKMODE:
    case EMR_POLYLINE:
        return;
    default:
        drawHeldFill();
    }
}

void PainterCanvas::playInBands(QImage &image, const Metafile &metafile, const Rect &logical,
                                const DeviceMetrics &metrics)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int height = image.height();
    // Bands of at least 128 rows, at most one per processor and four.
    const int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = std::clamp(std::min(height / 128, processors), 1, 4);
    uchar *bits = image.bits();
    std::vector<std::exception_ptr> errors(static_cast<size_t>(bands));
    auto playBand = [&](int band) noexcept {
        try {
            // A view of the same pixels, so that no band copies the image.
            QImage view(bits, image.width(), height, image.bytesPerLine(), image.format());
            PainterCanvas canvas(view, metrics);
            const int top = height * band / bands, bottom = height * (band + 1) / bands;
            if (bands > 1)
                canvas.selectClipRegion(QRegion(0, top, image.width(), bottom - top));
            canvas.drawMetafile(metafile, logical);
        } catch (...) {
            errors[static_cast<size_t>(band)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(bands - 1));
    for (int band = 1; band < bands; ++band)
        threads.emplace_back(playBand, band);
    playBand(0);
    for (std::thread &t : threads)
        t.join();
    for (const std::exception_ptr &e : errors)
        if (e)
            std::rethrow_exception(e);
}

} // namespace platform::gdi
