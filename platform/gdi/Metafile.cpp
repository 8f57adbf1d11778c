#include "platform/gdi/Metafile.h"

#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/SafeFile.h"

#include <QFile>

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

// A device pixel edge of a box, held far beyond any picture (a picture read
// from a file may draw anywhere, or nowhere that is a number).
int deviceEdge(double v)
{
    return v == v ? static_cast<int>(std::clamp(v, -1e9, 1e9)) : 0;
}

bool isDrawing(int type)
{
    switch (type) {
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYPOLYGON: case EMR_ELLIPSE: case EMR_RECTANGLE:
    case EMR_LINETO: case EMR_EXTTEXTOUTW: case EMR_STRETCHDIBITS:
        return true;
    default:
        return false;
    }
}

} // namespace

Metafile::Metafile() : reference_(screenMetrics()) {}

Metafile::Metafile(const DeviceMetrics &reference) : reference_(reference) {}

int Metafile::width() const
{
    return roundInt(frame_.width() * static_cast<double>(reference_.horzRes) / (reference_.horzSize * 100.0));
}

int Metafile::height() const
{
    return roundInt(frame_.height() * static_cast<double>(reference_.vertRes) / (reference_.vertSize * 100.0));
}

void Metafile::setSizeInPixels(int width, int height)
{
    frame_ = Rect{0, 0, roundInt(width * (reference_.horzSize * 100.0) / reference_.horzRes),
                  roundInt(height * (reference_.vertSize * 100.0) / reference_.vertRes)};
}

void Metafile::clear()
{
    records_.clear();
    bounds_ = Rect{0, 0, -1, -1};
}

bool Metafile::saveEmf(const QString &fileName, QString *error) const
{
    if (!platform::writeFileAtomically(fileName, toEmf())) {
        if (error)
            *error = QStringLiteral("Ошибка записи файла ") + fileName;
        return false;
    }
    return true;
}

bool Metafile::saveWmf(const QString &fileName, QString *error) const
{
    const QByteArray bytes = toWmf();
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("Рисунок слишком велик для формата WMF: ") + fileName;
        return false;
    }
    if (!platform::writeFileAtomically(fileName, bytes)) {
        if (error)
            *error = QStringLiteral("Ошибка записи файла ") + fileName;
        return false;
    }
    return true;
}

bool Metafile::saveToFile(const QString &fileName, QString *error) const
{
    if (platform::extractFileExt(fileName).compare(QLatin1String(".wmf"), Qt::CaseInsensitive) == 0)
        return saveWmf(fileName, error);
    return saveEmf(fileName, error);
}

std::optional<Metafile> Metafile::loadFromFile(const QString &fileName, QString *error)
{
    const QString path = platform::findExistingPath(fileName);
    QFile f(path.isEmpty() ? fileName : path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Невозможно открыть файл ") + fileName;
        return std::nullopt;
    }
    // Metafiles of a map are megabytes; a file beyond 512 MB is not one.
    if (f.size() > 512LL * 1024 * 1024) {
        if (error)
            *error = QStringLiteral("Неверный формат файла ") + fileName;
        return std::nullopt;
    }
    const QByteArray bytes = f.readAll();
    QString why;
    auto m = fromBytes(bytes, &why);
    if (!m && error)
        *error = why + QStringLiteral(": ") + fileName;
    return m;
}

// --- recording --------------------------------------------------------------

MetafileCanvas::MetafileCanvas(Metafile &target) : Canvas(target.reference()), target_(&target) {}

MetafileCanvas::~MetafileCanvas()
{
    finish();
}

void MetafileCanvas::finish()
{
    if (finished_)
        return;
    finished_ = true;
    const DeviceMetrics &ref = target_->reference();
    target_->records() = std::move(records_);
    target_->setBounds(bounds_);
    if (target_->frame().width() <= 0 || target_->frame().height() <= 0) {
        if (bounds_.right > bounds_.left && bounds_.bottom > bounds_.top) {
            const double kx = ref.horzSize * 100.0 / ref.horzRes;
            const double ky = ref.vertSize * 100.0 / ref.vertRes;
            target_->setFrame(Rect{roundInt(bounds_.left * kx), roundInt(bounds_.top * ky),
                                   roundInt(bounds_.right * kx), roundInt(bounds_.bottom * ky)});
        }
    }
}

void MetafileCanvas::addBounds(const QRectF &d)
{
    if (d.isNull() && d.width() == 0 && d.height() == 0 && d.x() == 0 && d.y() == 0)
        return;
    const int l = deviceEdge(std::floor(d.left()));
    const int t = deviceEdge(std::floor(d.top()));
    const int r = deviceEdge(std::ceil(d.right())) + 1;
    const int b = deviceEdge(std::ceil(d.bottom())) + 1;
    if (bounds_.right <= bounds_.left) {
        bounds_ = Rect{l, t, r, b};
    } else {
        bounds_.left = std::min(bounds_.left, l);
        bounds_.top = std::min(bounds_.top, t);
        bounds_.right = std::max(bounds_.right, r);
        bounds_.bottom = std::max(bounds_.bottom, b);
    }
}

void MetafileCanvas::perform(const RecordView &r)
{
    if (finished_)
        return;
    if (r.type == EMR_HEADER) {
        // A picture starts playing onto this one.
        if (state_.playDepth == 1)
            emitted_.valid = false;
        written_ = {};
        return;
    }
    if (r.type == EMR_EOF)
        return;

    // Bounds of what is drawn, in our device pixels.
    if (isDrawing(r.type)) {
        const QTransform t = logicalToDevice();
        const double halfPen = state_.pen.style == PS_NULL ? 0 : devicePenWidth() / 2.0;
        QRectF box;
        switch (r.type) {
        case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYPOLYGON: {
            if (r.points.empty())
                break;
            double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
            for (const QPoint &p : r.points) {
                const QPointF d = mapPoint(t, QPointF(p));
                x0 = std::min(x0, d.x()); y0 = std::min(y0, d.y());
                x1 = std::max(x1, d.x()); y1 = std::max(y1, d.y());
            }
            box = QRectF(QPointF(x0, y0), QPointF(x1, y1)).adjusted(-halfPen, -halfPen, halfPen, halfPen);
            break;
        }
        case EMR_LINETO:
            box = t.mapRect(QRectF(QPointF(state_.current), QPointF(r.point)).normalized())
                      .adjusted(-halfPen, -halfPen, halfPen, halfPen);
            break;
        case EMR_ELLIPSE: case EMR_RECTANGLE: case EMR_STRETCHDIBITS:
            box = t.mapRect(QRectF(QPointF(r.rect.left, r.rect.top), QPointF(r.rect.right, r.rect.bottom)).normalized());
            break;
        case EMR_EXTTEXTOUTW: {
            const TextLayout l = layoutText(r.text());
            box = placeText(r.point, l).box.boundingRect();
            break;
        }
        default: break;
        }
        if (!box.isEmpty() || box.width() > 0 || box.height() > 0)
            addBounds(box);
        // A line keeps no bounds of its own (its file record has none either).
        if (r.type != EMR_LINETO)
            lastBounds_ = Rect{deviceEdge(std::floor(box.left())), deviceEdge(std::floor(box.top())),
                               deviceEdge(std::ceil(box.right())) + 1, deviceEdge(std::ceil(box.bottom())) + 1};
        if (state_.playDepth == 0 && r.type != EMR_LINETO) {
            RecordView c = r;
            c.bounds = lastBounds_;
            std::vector<int> dx;
            if (r.type == EMR_EXTTEXTOUTW) {
                dx = advances(r.text());
                c.counts = dx;
            }
            std::optional<QImage> bits;
            if (r.type == EMR_STRETCHDIBITS && !r.image().isNull()) {
                bits = r.image().copy(); // the source may be a bitmap still being drawn on
                c.imageData = &*bits;
            }
            push(c);
            return;
        }
    }

    if (state_.playDepth == 0) {
        if (!repeatsState(r))
            push(r);
        return;
    }
    flatten(r);
}

bool MetafileCanvas::repeatsState(const RecordView &r)
{
    Written &w = written_;
    auto same = [](auto &last, const auto &now) {
        if (last && *last == now)
            return true;
        last = now;
        return false;
    };
    switch (r.type) {
    case EMR_CREATEPEN: return same(w.pen, r.pen);
    case EMR_CREATEBRUSHINDIRECT: return same(w.brush, r.brush);
    case EMR_SETBKCOLOR: return same(w.bkColor, r.value);
    case EMR_SETBKMODE: return same(w.bkMode, r.value);
    // Records that may put back or replace what was written.
    case EMR_RESTOREDC: case EMR_SELECTOBJECT: case EMR_DELETEOBJECT:
        w = {};
        return false;
    default:
        return false;
    }
}

std::vector<int> MetafileCanvas::advances(const QString &text) const
{
    // The advance of each character in logical units, as the text records keep them.
    const TextLayout l = layoutText(text);
    const double sx = deviceScaleX();
    std::vector<int> out;
    out.reserve(static_cast<size_t>(text.size()));
    double at = 0;
    int done = 0;
    size_t k = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()) {
            out.push_back(0);
            continue;
        }
        at += k < l.advances.size() ? l.advances[k++] : 0.0;
        const int next = sx > 0 ? roundInt(at / sx) : 0;
        out.push_back(next - done);
        done = next;
    }
    return out;
}

void MetafileCanvas::emitState()
{
    bool ok = false;
    const QTransform toOurs = logicalToDevice() * state_.outer.inverted(&ok);
    const double sx = std::hypot(toOurs.m11(), toOurs.m12());
    const double sy = std::hypot(toOurs.m21(), toOurs.m22());
    const DcState &s = state_;

    Pen pen = s.pen;
    // A styled pen wider than one unit is solid; it must stay so at its new width.
    if (pen.width > 1 && pen.style >= PS_DASH && pen.style <= PS_DASHDOTDOT)
        pen.style = PS_SOLID;
    if (pen.width > 0)
        pen.width = std::max(1, roundInt(pen.width * sx));
    LogFont font = s.font;
    if (font.height != 0) {
        const int h = roundInt(std::abs(font.height) * sy);
        font.height = (font.height < 0 ? -1 : 1) * std::max(1, h);
    }
    if (font.width != 0)
        font.width = std::max(1, roundInt(font.width * sx));

    auto value = [&](int type, std::int64_t v) {
        RecordView m;
        m.type = type;
        m.value = v;
        push(m);
    };
    Emitted &e = emitted_;
    if (!e.valid || !(e.pen == pen)) {
        RecordView m;
        m.type = EMR_CREATEPEN;
        m.pen = pen;
        push(m);
        e.pen = pen;
    }
    if (!e.valid || !(e.brush == s.brush)) {
        RecordView m;
        m.type = EMR_CREATEBRUSHINDIRECT;
        m.brush = s.brush;
        push(m);
        e.brush = s.brush;
    }
    if (!e.valid || !(e.font == font)) {
        RecordView m;
        m.type = EMR_EXTCREATEFONTINDIRECTW;
        m.fontData = &font;
        push(m);
        e.font = font;
    }
    if (!e.valid || e.textColor != s.textColor) { value(EMR_SETTEXTCOLOR, s.textColor); e.textColor = s.textColor; }
    if (!e.valid || e.bkColor != s.bkColor) { value(EMR_SETBKCOLOR, s.bkColor); e.bkColor = s.bkColor; }
    if (!e.valid || e.bkMode != s.bkMode) { value(EMR_SETBKMODE, s.bkMode); e.bkMode = s.bkMode; }
    if (!e.valid || e.textAlign != s.textAlign) { value(EMR_SETTEXTALIGN, s.textAlign); e.textAlign = s.textAlign; }
    if (!e.valid || e.rop2 != s.rop2) { value(EMR_SETROP2, s.rop2); e.rop2 = s.rop2; }
    if (!e.valid || e.polyFillMode != s.polyFillMode) { value(EMR_SETPOLYFILLMODE, s.polyFillMode); e.polyFillMode = s.polyFillMode; }
    if (!e.valid || e.stretchMode != s.stretchMode) { value(EMR_SETSTRETCHBLTMODE, s.stretchMode); e.stretchMode = s.stretchMode; }
    const std::optional<QRegion> &clip = effectiveClip();
    if (!e.valid || e.clip != clip) {
        RecordView m;
        m.type = EMR_EXTSELECTCLIPRGN;
        m.value = 5;
        if (clip)
            m.regionData = &*clip;
        else
            m.nullRegion = true;
        push(m);
        e.clip = clip;
    }
    e.valid = true;
}

void MetafileCanvas::flatten(const RecordView &r)
{
    if (!isDrawing(r.type))
        return; // the state is made explicit before each drawing record
    bool ok = false;
    const QTransform toOurs = logicalToDevice() * state_.outer.inverted(&ok);
    if (!ok)
        return;
    auto map = [&](const QPoint &p) {
        const QPointF q = toOurs.map(QPointF(p));
        return QPoint(roundInt(q.x()), roundInt(q.y()));
    };
    emitState();
    RecordView out = r;
    out.bounds = lastBounds_;
    std::vector<QPoint> points;
    std::vector<int> dx;
    switch (r.type) {
    case EMR_LINETO: {
        RecordView m;
        m.type = EMR_MOVETOEX;
        m.point = map(state_.current);
        push(m);
        out.point = map(r.point);
        break;
    }
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYPOLYGON:
        points.reserve(r.points.size());
        for (const QPoint &p : r.points)
            points.push_back(map(p));
        out.points = points;
        break;
    case EMR_ELLIPSE: case EMR_RECTANGLE: case EMR_STRETCHDIBITS: {
        const QPoint a = map(QPoint(r.rect.left, r.rect.top));
        const QPoint b = map(QPoint(r.rect.right, r.rect.bottom));
        out.rect = Rect{a.x(), a.y(), b.x(), b.y()};
        break;
    }
    case EMR_EXTTEXTOUTW: {
        out.point = map(r.point);
        dx = advances(r.text());
        for (int &a : dx)
            a = roundInt(a * std::hypot(toOurs.m11(), toOurs.m12()));
        out.counts = dx;
        break;
    }
    default: break;
    }
    push(out);
}

} // namespace platform::gdi
