#include "platform/gdi/Canvas.h"

#include "platform/Rounding.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Metafile.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace platform::gdi {

namespace {

int roundInt(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// Logical units per millimetre of the fixed mapping modes.
double unitsPerMm(int mode)
{
    switch (mode) {
    case MM_LOMETRIC: return 10.0;
    case MM_HIMETRIC: return 100.0;
    case MM_LOENGLISH: return 100.0 / 25.4;
    case MM_HIENGLISH: return 1000.0 / 25.4;
    case MM_TWIPS: return 1440.0 / 25.4;
    default: return 0.0;
    }
}

} // namespace

Brush brushFromStyleNumber(int number, Color color)
{
    Brush b;
    b.color = color;
    switch (number) {
    case 0: b.style = BS_SOLID; break;
    case 2: b.style = BS_HATCHED; b.hatch = HS_HORIZONTAL; break;
    case 3: b.style = BS_HATCHED; b.hatch = HS_VERTICAL; break;
    case 4: b.style = BS_HATCHED; b.hatch = HS_FDIAGONAL; break;
    case 5: b.style = BS_HATCHED; b.hatch = HS_BDIAGONAL; break;
    case 6: b.style = BS_HATCHED; b.hatch = HS_CROSS; break;
    case 7: b.style = BS_HATCHED; b.hatch = HS_DIAGCROSS; break;
    default: b.style = BS_NULL; break;
    }
    return b;
}

int brushStyleNumber(const Brush &brush)
{
    if (brush.style == BS_SOLID)
        return 0;
    if (brush.style == BS_HATCHED && brush.hatch >= HS_HORIZONTAL && brush.hatch <= HS_DIAGCROSS)
        return brush.hatch + 2;
    return 1;
}

int rop2FromPenMode(int penMode)
{
    static constexpr int table[16] = {R2_BLACK,      R2_WHITE,       R2_NOP,        R2_NOT,
                                      R2_COPYPEN,    R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                      R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,   R2_NOTMERGEPEN,
                                      R2_MASKPEN,    R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
    return penMode >= 0 && penMode < 16 ? table[penMode] : R2_COPYPEN;
}

std::uint32_t rop3FromRasterIndex(int index)
{
    switch (index) {
    case 0: return BLACKNESS;
    case 1: return WHITENESS;
    case 5: return SRCPAINT;
    case 6: return SRCAND;
    case 7: return SRCINVERT;
    case 8: return SRCERASE;
    case 9: return NOTSRCCOPY;
    case 10: return NOTSRCERASE;
    case 11: return MERGECOPY;
    case 12: return MERGEPAINT;
    case 13: return PATCOPY;
    case 14: return PATPAINT;
    case 15: return PATINVERT;
    case 16: return DSTINVERT;
    default: return SRCCOPY;
    }
}

DeviceMetrics screenMetrics()
{
    return Service<ScreenMetrics>::get().metrics();
}

DeviceMetrics ScreenMetrics::metrics() const
{
    if (pinned_)
        return *pinned_;
    DeviceMetrics m;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        const QSizeF mm = screen->physicalSize();
        if (g.width() > 0 && g.height() > 0) {
            m.horzRes = g.width();
            m.vertRes = g.height();
        }
        const double dpi = screen->logicalDotsPerInch();
        if (mm.width() >= 1 && mm.height() >= 1) {
            m.horzSize = roundInt(mm.width());
            m.vertSize = roundInt(mm.height());
        } else {
            m.horzSize = roundInt(m.horzRes * 25.4 / 96.0);
            m.vertSize = roundInt(m.vertRes * 25.4 / 96.0);
        }
        if (dpi >= 1) {
            m.logPixelsX = roundInt(screen->logicalDotsPerInchX());
            m.logPixelsY = roundInt(screen->logicalDotsPerInchY());
        }
    }
    return m;
}

// ---------------------------------------------------------------------------

Canvas::Canvas(const DeviceMetrics &metrics) : metrics_(metrics)
{
    state_.metrics = metrics;
}

Canvas::~Canvas() = default;

void Canvas::resetToDefaults()
{
    DcState fresh;
    fresh.metrics = state_.metrics;
    fresh.post = state_.post;
    fresh.metaClip = state_.metaClip;
    fresh.playDepth = state_.playDepth;
    fresh.outer = state_.outer;
    state_ = fresh;
    stateReplaced();
}

QTransform Canvas::pageTransformFor(const DcState &s)
{
    double wx = s.windowExt.cx, wy = s.windowExt.cy, vx = s.viewportExt.cx, vy = s.viewportExt.cy;
    const double upm = unitsPerMm(s.mapMode);
    if (upm > 0) {
        wx = s.metrics.horzSize * upm;
        wy = s.metrics.vertSize * upm;
        vx = s.metrics.horzRes;
        vy = -s.metrics.vertRes;
    } else if (s.mapMode == MM_TEXT) {
        wx = wy = vx = vy = 1;
    }
    if (wx == 0) wx = 1;
    if (wy == 0) wy = 1;
    double sx = vx / wx;
    double sy = vy / wy;
    if (s.mapMode == MM_ISOTROPIC) {
        // The same scale on both axes: the smaller one, signs kept.
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    const double dx = s.viewportOrg.x() - s.windowOrg.x() * sx;
    const double dy = s.viewportOrg.y() - s.windowOrg.y() * sy;
    return QTransform(sx, 0, 0, sy, dx, dy);
}

QTransform Canvas::pageTransform(const DcState &s) const
{
    return s.world * pageTransformFor(s) * s.post;
}

QTransform Canvas::logicalToDevice() const
{
    return mapping();
}

const QTransform &Canvas::mapping() const
{
    // Asked for by every figure drawn or recorded: kept until the mapping changes.
    if (!mappingValid_) {
        mapping_ = pageTransform(state_);
        scaleX_ = std::hypot(mapping_.m11(), mapping_.m12());
        scaleY_ = std::hypot(mapping_.m21(), mapping_.m22());
        mappingValid_ = true;
    }
    return mapping_;
}

double Canvas::deviceScaleX() const
{
    mapping();
    return scaleX_;
}

double Canvas::deviceScaleY() const
{
    mapping();
    return scaleY_;
}

int Canvas::devicePenWidth() const
{
    if (state_.pen.width <= 0)
        return 1;
    // A pen wider than any device (one read from a file) covers it all the same;
    // the painter strokes no wider.
    return std::clamp(roundInt(state_.pen.width * deviceScaleX()), 1, 1 << 14);
}

QPoint Canvas::lpToDp(const QPoint &logical) const
{
    const QPointF p = logicalToDevice().map(QPointF(logical));
    return QPoint(roundInt(p.x()), roundInt(p.y()));
}

QPointF Canvas::lpToDpF(const QPointF &logical) const
{
    return logicalToDevice().map(logical);
}

QPoint Canvas::dpToLp(const QPoint &device) const
{
    bool ok = false;
    const QTransform inv = logicalToDevice().inverted(&ok);
    if (!ok)
        return QPoint();
    const QPointF p = inv.map(QPointF(device));
    return QPoint(roundInt(p.x()), roundInt(p.y()));
}

const std::optional<QRegion> &Canvas::effectiveClip() const
{
    if (!clipValid_) {
        if (state_.clip && state_.metaClip)
            clip_ = *state_.clip & *state_.metaClip;
        else if (state_.clip)
            clip_ = state_.clip;
        else
            clip_ = state_.metaClip;
        clipValid_ = true;
    }
    return clip_;
}

std::optional<QRegion> Canvas::clipRegion() const
{
    return effectiveClip();
}

// --- the calls --------------------------------------------------------------

// Each call hands on a view of its arguments: nothing is allocated for it.
namespace {
RecordView rec(int type, std::int64_t value = 0)
{
    RecordView r;
    r.type = type;
    r.value = value;
    return r;
}
RecordView pointRec(int type, int x, int y)
{
    RecordView r;
    r.type = type;
    r.point = QPoint(x, y);
    return r;
}
} // namespace

void Canvas::setPen(const Pen &pen) { RecordView r = rec(EMR_CREATEPEN); r.pen = pen; apply(r); }
void Canvas::setBrush(const Brush &brush) { RecordView r = rec(EMR_CREATEBRUSHINDIRECT); r.brush = brush; apply(r); }
void Canvas::setFont(const LogFont &font) { RecordView r = rec(EMR_EXTCREATEFONTINDIRECTW); r.fontData = &font; apply(r); }
void Canvas::setTextColor(Color color) { apply(rec(EMR_SETTEXTCOLOR, color)); }
void Canvas::setBkColor(Color color) { apply(rec(EMR_SETBKCOLOR, color)); }
void Canvas::setBkMode(int mode) { apply(rec(EMR_SETBKMODE, mode)); }
void Canvas::setTextAlign(unsigned align) { apply(rec(EMR_SETTEXTALIGN, align)); }
void Canvas::setRop2(int rop2) { apply(rec(EMR_SETROP2, rop2)); }
void Canvas::setPolyFillMode(int mode) { apply(rec(EMR_SETPOLYFILLMODE, mode)); }
void Canvas::setStretchBltMode(int mode) { apply(rec(EMR_SETSTRETCHBLTMODE, mode)); }
void Canvas::setMapMode(int mode) { apply(rec(EMR_SETMAPMODE, mode)); }
void Canvas::setWindowOrg(int x, int y) { apply(pointRec(EMR_SETWINDOWORGEX, x, y)); }
void Canvas::setViewportOrg(int x, int y) { apply(pointRec(EMR_SETVIEWPORTORGEX, x, y)); }
void Canvas::setWindowExt(int cx, int cy) { apply(pointRec(EMR_SETWINDOWEXTEX, cx, cy)); }
void Canvas::setViewportExt(int cx, int cy) { apply(pointRec(EMR_SETVIEWPORTEXTEX, cx, cy)); }

void Canvas::setWorldTransform(const QTransform &transform)
{
    RecordView r = rec(EMR_SETWORLDTRANSFORM);
    r.transformData = &transform;
    apply(r);
}

int Canvas::saveDC()
{
    apply(rec(EMR_SAVEDC));
    return static_cast<int>(saved_.size());
}

void Canvas::restoreDC(int level) { apply(rec(EMR_RESTOREDC, level)); }

void Canvas::intersectClipRect(const Rect &logical)
{
    RecordView r = rec(EMR_INTERSECTCLIPRECT);
    r.rect = logical;
    apply(r);
}

void Canvas::selectClipRegion(const QRegion &device)
{
    RecordView r = rec(EMR_EXTSELECTCLIPRGN, 5);
    r.regionData = &device;
    apply(r);
}

void Canvas::selectClipNone()
{
    RecordView r = rec(EMR_EXTSELECTCLIPRGN, 5);
    r.nullRegion = true;
    apply(r);
}

void Canvas::moveTo(int x, int y) { apply(pointRec(EMR_MOVETOEX, x, y)); }
void Canvas::lineTo(int x, int y) { apply(pointRec(EMR_LINETO, x, y)); }

void Canvas::polyline(const std::vector<QPoint> &points)
{
    RecordView r = rec(EMR_POLYLINE);
    r.points = points;
    apply(r);
}

void Canvas::polygon(const std::vector<QPoint> &points)
{
    RecordView r = rec(EMR_POLYGON);
    r.points = points;
    apply(r);
}

void Canvas::polyPolygon(const std::vector<QPoint> &points, const std::vector<int> &counts)
{
    RecordView r = rec(EMR_POLYPOLYGON);
    r.points = points;
    r.counts = counts;
    apply(r);
}

void Canvas::ellipse(const Rect &box)
{
    RecordView r = rec(EMR_ELLIPSE);
    r.rect = box;
    apply(r);
}

void Canvas::rectangle(const Rect &box)
{
    RecordView r = rec(EMR_RECTANGLE);
    r.rect = box;
    apply(r);
}

void Canvas::textOut(int x, int y, const QString &text)
{
    RecordView r = rec(EMR_EXTTEXTOUTW);
    r.point = QPoint(x, y);
    r.textData = &text;
    apply(r);
}

void Canvas::stretchDIBits(int x, int y, int width, int height, const QImage &source, const QRect &sourceRect,
                           std::uint32_t rop)
{
    RecordView r = rec(EMR_STRETCHDIBITS);
    r.rect = Rect{x, y, x + width, y + height};
    r.imageData = &source;
    r.source = sourceRect;
    r.rop = rop;
    apply(r);
}

void Canvas::stretchBlt(int x, int y, int width, int height, const QImage &source, const QRect &sourceRect,
                        std::uint32_t rop)
{
    stretchDIBits(x, y, width, height, source, sourceRect, rop);
}

void Canvas::bitBlt(int x, int y, int width, int height, const QImage &source, int sx, int sy, std::uint32_t rop)
{
    // The size is in logical units on the destination, in pixels on the source.
    const QPoint d0 = lpToDp(QPoint(x, y));
    const QPoint d1 = lpToDp(QPoint(x + width, y + height));
    stretchDIBits(x, y, width, height, source, QRect(sx, sy, std::abs(d1.x() - d0.x()), std::abs(d1.y() - d0.y())),
                  rop);
}

void Canvas::patBlt(int x, int y, int width, int height, std::uint32_t rop)
{
    stretchDIBits(x, y, width, height, QImage(), QRect(), rop);
}

Size Canvas::textExtent(const QString &text) const
{
    if (text.isEmpty())
        return {};
    const TextLayout l = layoutText(text);
    const double sx = deviceScaleX(), sy = deviceScaleY();
    const int w = roundInt(l.width);
    const int h = roundInt(l.ascent) + roundInt(l.descent);
    return Size{sx > 0 ? roundInt(w / sx) : 0, sy > 0 ? roundInt(h / sy) : 0};
}

TextMetrics Canvas::textMetrics() const
{
    const TextLayout l = layoutText(QStringLiteral("X"));
    const double sy = deviceScaleY();
    if (sy <= 0)
        return {};
    TextMetrics m;
    m.ascent = roundInt(roundInt(l.ascent) / sy);
    m.descent = roundInt(roundInt(l.descent) / sy);
    m.height = m.ascent + m.descent;
    return m;
}

double Canvas::deviceEm(const LogFont &lf) const
{
    const double sy = deviceScaleY();
    if (lf.height < 0)
        return -static_cast<double>(lf.height) * sy;
    if (lf.height > 0) {
        // A cell height: the em is the part of it the face gives its em.
        QFont probe;
        probe.setFamilies(familiesForFace(lf.faceName));
        probe.setPixelSize(1000);
        const QFontMetricsF fm(probe);
        const double cell = fm.ascent() + fm.descent();
        return lf.height * sy * (cell > 0 ? 1000.0 / cell : 1.0);
    }
    return 12.0 * metrics_.logPixelsY / 72.0; // the default font height
}

QFont Canvas::deviceFont(const LogFont &lf) const
{
    QFont f;
    f.setFamilies(familiesForFace(lf.faceName));
    // Smoothed: unsmoothed glyphs with full hinting come out wider than the
    // advances they are placed by, and neighbouring figures run together.
    f.setStyleStrategy(QFont::PreferMatch);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    const double em = deviceEm(lf);
    f.setPixelSize(std::max(1, roundInt(em)));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight <= 0 ? 400 : lf.weight, 1, 1000)));
    f.setItalic(lf.italic);
    f.setUnderline(lf.underline);
    f.setStrikeOut(lf.strikeOut);
    if (lf.width > 0) {
        // A set average width stretches the face.
        QFont probe = f;
        const QFontMetricsF fm(probe);
        const double avg = fm.averageCharWidth();
        const double want = lf.width * deviceScaleX();
        if (avg > 0)
            f.setStretch(std::clamp(roundInt(want / avg * 100), 1, 4000));
    }
    return f;
}

Canvas::TextLayout Canvas::layoutText(const QString &text) const
{
    TextLayout l;
    l.font = deviceFont(state_.font);
    l.shown = isSymbolFace(state_.font.faceName) ? symbolFontText(text) : text;
    // A font below one pixel shows nothing and measures nothing.
    l.visible = roundInt(deviceEm(state_.font)) >= 1;
    if (!l.visible)
        return l;
    const QFontMetricsF fm(l.font);
    l.ascent = fm.ascent();
    l.descent = fm.descent();
    double x = 0;
    l.advances.reserve(static_cast<size_t>(text.size()));
    // One advance per character of the original text (a symbol may take two units).
    int i = 0;
    for (int k = 0; k < l.shown.size(); ++k) {
        const QChar c = l.shown.at(k);
        if (c.isHighSurrogate() && k + 1 < l.shown.size()) {
            const double a = fm.horizontalAdvance(l.shown.mid(k, 2));
            l.advances.push_back(a);
            x += a;
            ++k;
        } else {
            const double a = fm.horizontalAdvance(c);
            l.advances.push_back(a);
            x += a;
        }
        ++i;
    }
    l.width = x;
    return l;
}

Canvas::TextPlacement Canvas::placeText(const QPoint &logical, const TextLayout &l) const
{
    TextPlacement t;
    const QPoint p = lpToDp(logical);
    t.angle = state_.font.escapement / 10.0;
    const double a = t.angle * M_PI / 180.0;
    t.along = QPointF(std::cos(a), -std::sin(a));
    t.down = QPointF(std::sin(a), std::cos(a));
    double hx = 0;
    const unsigned align = state_.textAlign;
    if ((align & TA_CENTER) == TA_CENTER)
        hx = -l.width / 2.0;
    else if (align & TA_RIGHT)
        hx = -l.width;
    double vy = 0;
    if ((align & TA_BASELINE) == TA_BASELINE)
        vy = 0;
    else if (align & TA_BOTTOM)
        vy = -l.descent;
    else
        vy = l.ascent;
    t.origin = QPointF(p) + t.along * hx + t.down * vy;
    auto corner = [&](double x, double y) { return t.origin + t.along * x + t.down * y; };
    t.box << corner(0, -l.ascent) << corner(l.width, -l.ascent) << corner(l.width, l.descent)
          << corner(0, l.descent);
    return t;
}

void Canvas::drawMetafile(const Metafile &metafile, const Rect &logical)
{
    const DeviceMetrics ref = metafile.reference();
    // In reals: a frame and device read from a file may overflow an int.
    const double fl = double(metafile.frame().left) * ref.horzRes / (ref.horzSize * 100.0);
    const double ft = double(metafile.frame().top) * ref.vertRes / (ref.vertSize * 100.0);
    const double fw = double(metafile.frame().width()) * ref.horzRes / (ref.horzSize * 100.0);
    const double fh = double(metafile.frame().height()) * ref.vertRes / (ref.vertSize * 100.0);
    if (fw <= 0 || fh <= 0 || logical.width() == 0 || logical.height() == 0)
        return;
    // Its device -> our logical rectangle -> our device.
    const QTransform toLogical = QTransform::fromTranslate(-fl, -ft)
                                 * QTransform::fromScale(logical.width() / fw, logical.height() / fh)
                                 * QTransform::fromTranslate(logical.left, logical.top);
    const QTransform ourDevice = logicalToDevice();
    const QTransform post = toLogical * ourDevice;

    saveDC();
    const std::optional<QRegion> clipNow = effectiveClip();
    if (state_.playDepth == 0)
        state_.outer = ourDevice;
    state_.playDepth += 1;
    state_.metrics = ref;
    state_.post = post;
    state_.metaClip = clipNow;
    state_.clip.reset();
    resetToDefaults();
    perform(rec(EMR_HEADER)); // a play begins: targets that keep state start afresh
    const size_t depth = saved_.size();
    for (const RecordView &r : metafile.records()) {
        beforeRecord(r);
        apply(r);
    }
    beforeRecord(rec(EMR_EOF));
    // Unbalanced saves of the picture do not outlive it.
    while (saved_.size() > depth) {
        state_ = saved_.back();
        saved_.pop_back();
    }
    stateReplaced();
    perform(rec(EMR_EOF));
    state_ = saved_.back();
    saved_.pop_back();
    stateReplaced();
    perform(rec(EMR_RESTOREDC, -1));
}

void Canvas::apply(const RecordView &r)
{
    DcState &s = state_;
    switch (r.type) {
    case EMR_CREATEPEN: s.pen = r.pen; break;
    case EMR_CREATEBRUSHINDIRECT: s.brush = r.brush; break;
    case EMR_EXTCREATEFONTINDIRECTW: s.font = r.font(); break;
    case EMR_SETTEXTCOLOR: s.textColor = static_cast<Color>(r.value) & 0xFFFFFF; break;
    case EMR_SETBKCOLOR: s.bkColor = static_cast<Color>(r.value) & 0xFFFFFF; break;
    case EMR_SETBKMODE: s.bkMode = static_cast<int>(r.value); break;
    case EMR_SETTEXTALIGN: s.textAlign = static_cast<unsigned>(r.value); break;
    case EMR_SETROP2: s.rop2 = static_cast<int>(r.value); break;
    case EMR_SETPOLYFILLMODE: s.polyFillMode = static_cast<int>(r.value); break;
    case EMR_SETSTRETCHBLTMODE: s.stretchMode = static_cast<int>(r.value); break;
    case EMR_SETMAPMODE:
        if (r.value >= MM_TEXT && r.value <= MM_ANISOTROPIC)
            s.mapMode = static_cast<int>(r.value);
        mappingChanged();
        break;
    case EMR_SETWINDOWORGEX: s.windowOrg = r.point; mappingChanged(); break;
    case EMR_SETVIEWPORTORGEX: s.viewportOrg = r.point; mappingChanged(); break;
    case EMR_SETWINDOWEXTEX:
        if ((s.mapMode == MM_ISOTROPIC || s.mapMode == MM_ANISOTROPIC) && r.point.x() != 0 && r.point.y() != 0)
            s.windowExt = Size{r.point.x(), r.point.y()};
        mappingChanged();
        break;
    case EMR_SETVIEWPORTEXTEX:
        if ((s.mapMode == MM_ISOTROPIC || s.mapMode == MM_ANISOTROPIC) && r.point.x() != 0 && r.point.y() != 0)
            s.viewportExt = Size{r.point.x(), r.point.y()};
        mappingChanged();
        break;
    case EMR_SETWORLDTRANSFORM: s.world = r.transform(); mappingChanged(); break;
    case EMR_MODIFYWORLDTRANSFORM:
        switch (r.value) {
        case 1: s.world = QTransform(); break;
        case 2: s.world = r.transform() * s.world; break;
        case 3: s.world = s.world * r.transform(); break;
        case 4: s.world = r.transform(); break;
        default: break;
        }
        mappingChanged();
        break;
    case EMR_SAVEDC:
        saved_.push_back(s);
        break;
    case EMR_RESTOREDC: {
        // Negative: relative to the current level; positive: that level. A
        // played picture cannot restore a state saved outside it.
        const long long n = static_cast<long long>(saved_.size());
        const long long target = r.value < 0 ? n + r.value : r.value - 1;
        if (target >= 0 && target < n && saved_[static_cast<size_t>(target)].playDepth == s.playDepth) {
            s = saved_[static_cast<size_t>(target)];
            saved_.resize(static_cast<size_t>(target));
            stateReplaced();
        }
        break;
    }
    case EMR_INTERSECTCLIPRECT: {
        const QTransform t = logicalToDevice();
        const QRectF dr = t.mapRect(QRectF(QPointF(r.rect.left, r.rect.top), QPointF(r.rect.right, r.rect.bottom)));
        // Held far beyond any device, where regions still work (a picture
        // read from a file may clip anywhere).
        auto edge = [](double v) { return roundInt(std::clamp(v, -268435456.0, 268435456.0)); };
        const QRect d(QPoint(edge(dr.left()), edge(dr.top())), QPoint(edge(dr.right()) - 1, edge(dr.bottom()) - 1));
        const QRegion rr(d.normalized());
        s.clip = s.clip ? (*s.clip & rr) : rr;
        clipChanged();
        break;
    }
    case EMR_EXTSELECTCLIPRGN:
        if (r.nullRegion) {
            s.clip.reset();
        } else {
            // Regions of a played picture are in its device units.
            QRegion reg = s.playDepth > 0 ? s.post.map(r.region()) : r.region();
            if (r.value == 1 && s.clip)
                s.clip = *s.clip & reg;
            else
                s.clip = reg;
        }
        clipChanged();
        break;
    case EMR_MOVETOEX: s.current = r.point; break;
    case EMR_LINETO:
        perform(r);
        s.current = r.point;
        return;
    default: break;
    }
    perform(r);
}

} // namespace platform::gdi
