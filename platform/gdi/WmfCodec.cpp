// Placeable Windows metafiles: writing a Metafile in 16-bit records (its
// records are first made explicit in one coordinate space by playing it onto a
// recording canvas) and reading the common records.

#include "platform/gdi/CodecSupport.h"

#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace platform::gdi {

using namespace codec;

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kLimit = 32000; // coordinates are 16-bit

enum WmfFunction : std::uint16_t {
    META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106, META_SETSTRETCHBLTMODE = 0x0107,
    META_RESTOREDC = 0x0127, META_SELECTCLIPREGION = 0x012C, META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E, META_DIBCREATEPATTERNBRUSH = 0x0142, META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9, META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E, META_LINETO = 0x0213, META_MOVETO = 0x0214, META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325, META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B,
    META_TEXTOUT = 0x0521, META_POLYPOLYGON = 0x0538, META_CREATEREGION = 0x06FF, META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32, META_DIBSTRETCHBLT = 0x0B41, META_STRETCHDIB = 0x0F43, META_CREATEPALETTE = 0x00F7,
};

int roundInt(double v)
{
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -2147483648.0, 2147483647.0)));
}

int clamp16(int v)
{
    return std::clamp(v, -kLimit, kLimit);
}

QByteArray textBytes(const QString &text, int charSet)
{
    if (charSet == SYMBOL_CHARSET) {
        QByteArray b;
        for (QChar c : text)
            b.append(static_cast<char>(c.unicode() & 0xFF));
        return b;
    }
    return platform::toCp1251(text);
}

// Polygons are clipped to the 16-bit range so that far vertices do not wrap.
std::vector<QPointF> clipPolygon(const std::vector<QPointF> &in)
{
    std::vector<QPointF> poly = in;
    for (int edge = 0; edge < 4 && !poly.empty(); ++edge) {
        auto inside = [&](const QPointF &p) {
            switch (edge) {
            case 0: return p.x() >= -kLimit;
            case 1: return p.x() <= kLimit;
            case 2: return p.y() >= -kLimit;
            default: return p.y() <= kLimit;
            }
        };
        auto cross = [&](const QPointF &a, const QPointF &b) {
            const double bound = (edge == 0 || edge == 2) ? -kLimit : kLimit;
            const double t = (edge < 2) ? (bound - a.x()) / (b.x() - a.x()) : (bound - a.y()) / (b.y() - a.y());
            return a + (b - a) * t;
        };
        std::vector<QPointF> out;
        for (size_t i = 0; i < poly.size(); ++i) {
            const QPointF &cur = poly[i];
            const QPointF &prev = poly[(i + poly.size() - 1) % poly.size()];
            if (inside(cur)) {
                if (!inside(prev))
                    out.push_back(cross(prev, cur));
                out.push_back(cur);
            } else if (inside(prev)) {
                out.push_back(cross(prev, cur));
            }
        }
        poly = std::move(out);
    }
    return poly;
}

// Polylines are cut into the runs that lie inside the 16-bit range.
std::vector<std::vector<QPoint>> clipPolyline(std::span<const QPoint> pts)
{
    std::vector<std::vector<QPoint>> runs;
    std::vector<QPoint> run;
    auto flush = [&] {
        if (run.size() >= 2)
            runs.push_back(run);
        run.clear();
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        double x0 = pts[i].x(), y0 = pts[i].y(), x1 = pts[i + 1].x(), y1 = pts[i + 1].y();
        double t0 = 0, t1 = 1;
        const double dx = x1 - x0, dy = y1 - y0;
        bool visible = true;
        auto clipT = [&](double p, double q) {
            if (p == 0)
                return q >= 0;
            const double t = q / p;
            if (p < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        visible = clipT(-dx, x0 + kLimit) && clipT(dx, kLimit - x0) && clipT(-dy, y0 + kLimit) && clipT(dy, kLimit - y0);
        if (!visible) {
            flush();
            continue;
        }
        const QPoint a(roundInt(x0 + t0 * dx), roundInt(y0 + t0 * dy));
        const QPoint b(roundInt(x0 + t1 * dx), roundInt(y0 + t1 * dy));
        if (run.empty() || run.back() != a) {
            flush();
            run.push_back(a);
        }
        run.push_back(b);
        if (t1 < 1)
            flush();
    }
    flush();
    return runs;
}

class WmfWriter {
public:
    WmfWriter(const Metafile &flat, int widthUnits, int heightUnits, int inch, double pxToUnitX, double pxToUnitY)
        : flat_(flat), w_(widthUnits), h_(heightUnits), inch_(inch), kx_(pxToUnitX), ky_(pxToUnitY)
    {
    }

    QByteArray write()
    {
        // Placeable header (22 bytes).
        Writer head;
        head.u32(kPlaceableKey);             // 0
        head.u16(0);                         // 4 handle
        head.i16(0);                         // 6 bounding box
        head.i16(0);
        head.i16(w_);
        head.i16(h_);
        head.u16(static_cast<std::uint32_t>(inch_)); // 14 units per inch
        head.u32(0);                         // 16 reserved
        std::uint16_t sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= le::u16(head.bytes, 2 * i);
        head.u16(sum);                       // 20 checksum

        // Records.
        begin(META_SETWINDOWORG);
        w.i16(0);
        w.i16(0);
        end();
        begin(META_SETWINDOWEXT);
        w.i16(h_);
        w.i16(w_);
        end();
        begin(META_SETBKMODE); w.u16(TRANSPARENT); end();
        bool first = true;
        for (const RecordView &r : flat_.records()) {
            // The set-up of the flattening canvas is ours, not the picture's.
            if (first && (r.type == EMR_SETMAPMODE || r.type == EMR_SETWINDOWEXTEX || r.type == EMR_SETVIEWPORTEXTEX
                          || r.type == EMR_SAVEDC))
                continue;
            first = false;
            record(r);
        }
        if (clipOpen_) {
            begin(META_RESTOREDC);
            w.i16(-1);
            end();
        }
        begin(META_EOF);
        end();

        // Header (18 bytes) before the records.
        Writer mh;
        mh.u16(1);                                   // 0 in memory
        mh.u16(9);                                   // 2 header words
        mh.u16(0x0300);                              // 4 version
        mh.u32(static_cast<std::uint32_t>((18 + w.size()) / 2)); // 6 size in words
        mh.u16(static_cast<std::uint32_t>(maxObjects_)); // 10 objects
        mh.u32(maxRecord_);                          // 12 largest record
        mh.u16(0);                                   // 16
        return head.bytes + mh.bytes + w.bytes;
    }

private:
    void begin(std::uint16_t fn)
    {
        start_ = w.size();
        w.u32(0);
        w.u16(fn);
    }
    void end()
    {
        w.pad2();
        const std::uint32_t words = static_cast<std::uint32_t>((w.size() - start_) / 2);
        w.put32(start_, words);
        maxRecord_ = std::max(maxRecord_, words);
    }

    // Objects are kept by value; the table is emptied when it grows large.
    int object(const QByteArray &key, const std::function<void()> &create)
    {
        const auto it = cache_.find(key);
        if (it != cache_.end())
            return it->second;
        if (cache_.size() >= 256) {
            if (clipOpen_) {
                begin(META_RESTOREDC);
                w.i16(-1);
                end();
            }
            for (const auto &[k, slot] : cache_) {
                (void)k;
                begin(META_DELETEOBJECT);
                w.u16(static_cast<std::uint32_t>(slot));
                end();
            }
            cache_.clear();
            selPen_ = selBrush_ = selFont_ = -1;
            if (clipOpen_)
                openClip();
        }
        int slot = 0;
        std::vector<bool> used(cache_.size() + 1, false);
        for (const auto &[k, s] : cache_) {
            (void)k;
            if (s < static_cast<int>(used.size()))
                used[static_cast<size_t>(s)] = true;
        }
        while (used[static_cast<size_t>(slot)])
            ++slot;
        create();
        cache_[key] = slot;
        maxObjects_ = std::max(maxObjects_, static_cast<int>(cache_.size()));
        return slot;
    }

    void select(int slot, int &current)
    {
        if (slot == current)
            return;
        begin(META_SELECTOBJECT);
        w.u16(static_cast<std::uint32_t>(slot));
        end();
        current = slot;
    }

    void openClip()
    {
        begin(META_SAVEDC);
        end();
        begin(META_INTERSECTCLIPRECT);
        w.i16(clipRect_.bottom);
        w.i16(clipRect_.right);
        w.i16(clipRect_.top);
        w.i16(clipRect_.left);
        end();
        selPen_ = selBrush_ = selFont_ = -1;
    }

    void ensureSelected()
    {
        {
            const Pen p = pen_;
            QByteArray key = "P" + QByteArray::number(p.style) + "," + QByteArray::number(p.width) + ","
                             + QByteArray::number(p.color);
            const int slot = object(key, [&] {
                begin(META_CREATEPENINDIRECT);
                w.u16(static_cast<std::uint32_t>(p.style));
                w.i16(clamp16(p.width));
                w.i16(0);
                w.u32(p.color);
                end();
            });
            select(slot, selPen_);
        }
        {
            const Brush b = brush_;
            QByteArray key = "B" + QByteArray::number(b.style) + "," + QByteArray::number(b.color) + ","
                             + QByteArray::number(b.hatch);
            const int slot = object(key, [&] {
                begin(META_CREATEBRUSHINDIRECT);
                w.u16(static_cast<std::uint32_t>(b.style));
                w.u32(b.color);
                w.u16(static_cast<std::uint32_t>(b.hatch));
                end();
            });
            select(slot, selBrush_);
        }
        {
            const LogFont f = font_;
            const QByteArray face = textBytes(f.faceName, DEFAULT_CHARSET).left(31);
            QByteArray key = "F" + QByteArray::number(f.height) + "," + QByteArray::number(f.width) + ","
                             + QByteArray::number(f.escapement) + "," + QByteArray::number(f.weight) + ","
                             + QByteArray::number(int(f.italic) | int(f.underline) << 1 | int(f.strikeOut) << 2) + ","
                             + QByteArray::number(f.charSet) + "," + face;
            const int slot = object(key, [&] {
                begin(META_CREATEFONTINDIRECT);
                w.i16(clamp16(f.height));
                w.i16(clamp16(f.width));
                w.i16(f.escapement);
                w.i16(f.orientation);
                w.i16(f.weight);
                writeFontBytes(w, f);
                QByteArray name = face;
                name.append(32 - name.size(), '\0');
                w.raw(name);
                end();
            });
            select(slot, selFont_);
        }
    }

    QPoint unit(const QPoint &p) const { return QPoint(clamp16(p.x()), clamp16(p.y())); }

    void polyRecord(std::uint16_t fn, const std::vector<QPoint> &pts)
    {
        begin(fn);
        w.u16(static_cast<std::uint32_t>(pts.size()));
        for (const QPoint &p : pts) {
            w.i16(p.x());
            w.i16(p.y());
        }
        end();
    }

    void record(const RecordView &r)
    {
        switch (r.type) {
        case EMR_CREATEPEN: pen_ = r.pen; return;
        case EMR_CREATEBRUSHINDIRECT: brush_ = r.brush; return;
        case EMR_EXTCREATEFONTINDIRECTW: font_ = r.font(); return;
        case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR:
            begin(r.type == EMR_SETTEXTCOLOR ? META_SETTEXTCOLOR : META_SETBKCOLOR);
            w.u32(static_cast<std::uint32_t>(r.value));
            end();
            return;
        case EMR_SETBKMODE: case EMR_SETROP2: case EMR_SETPOLYFILLMODE: case EMR_SETSTRETCHBLTMODE:
        case EMR_SETTEXTALIGN: {
            const std::uint16_t fn = r.type == EMR_SETBKMODE ? META_SETBKMODE
                                     : r.type == EMR_SETROP2 ? META_SETROP2
                                     : r.type == EMR_SETPOLYFILLMODE ? META_SETPOLYFILLMODE
                                     : r.type == EMR_SETSTRETCHBLTMODE ? META_SETSTRETCHBLTMODE
                                                                       : META_SETTEXTALIGN;
            begin(fn);
            w.u16(static_cast<std::uint32_t>(r.value));
            end();
            return;
        }
        case EMR_EXTSELECTCLIPRGN: {
            if (clipOpen_) {
                begin(META_RESTOREDC);
                w.i16(-1);
                end();
                clipOpen_ = false;
                selPen_ = selBrush_ = selFont_ = -1;
            }
            if (r.nullRegion)
                return;
            // The clip's box, in our units (it arrives in device pixels).
            const QRect b = r.region().boundingRect();
            const Rect u{clamp16(roundInt(b.left() * kx_)), clamp16(roundInt(b.top() * ky_)),
                         clamp16(roundInt((b.right() + 1.0) * kx_)), clamp16(roundInt((b.bottom() + 1.0) * ky_))};
            // Also a clip of the whole picture is written: what was drawn
            // past the picture's frame stays cut off when it plays.
            clipRect_ = u;
            clipOpen_ = true;
            openClip();
            return;
        }
        case EMR_MOVETOEX: {
            const QPoint p = unit(r.point);
            begin(META_MOVETO);
            w.i16(p.y());
            w.i16(p.x());
            end();
            return;
        }
        default: break;
        }
        ensureSelected();
        switch (r.type) {
        case EMR_LINETO: {
            const QPoint p = unit(r.point);
            begin(META_LINETO);
            w.i16(p.y());
            w.i16(p.x());
            end();
            break;
        }
        case EMR_POLYLINE:
            for (const auto &run : clipPolyline(r.points))
                polyRecord(META_POLYLINE, run);
            break;
        case EMR_POLYGON: case EMR_POLYPOLYGON: {
            std::vector<std::vector<QPoint>> rings;
            std::vector<int> counts(r.counts.begin(), r.counts.end());
            if (r.type == EMR_POLYGON)
                counts = {static_cast<int>(r.points.size())};
            size_t at = 0;
            for (int c : counts) {
                std::vector<QPointF> ring;
                for (int k = 0; k < c && at < r.points.size(); ++k, ++at)
                    ring.emplace_back(r.points[at]);
                std::vector<QPoint> clipped;
                for (const QPointF &p : clipPolygon(ring))
                    clipped.emplace_back(roundInt(p.x()), roundInt(p.y()));
                if (clipped.size() >= 2)
                    rings.push_back(std::move(clipped));
            }
            if (rings.empty())
                break;
            if (rings.size() == 1) {
                polyRecord(META_POLYGON, rings.front());
            } else {
                begin(META_POLYPOLYGON);
                w.u16(static_cast<std::uint32_t>(rings.size()));
                for (const auto &ring : rings)
                    w.u16(static_cast<std::uint32_t>(ring.size()));
                for (const auto &ring : rings)
                    for (const QPoint &p : ring) {
                        w.i16(p.x());
                        w.i16(p.y());
                    }
                end();
            }
            break;
        }
        case EMR_RECTANGLE: case EMR_ELLIPSE:
            begin(r.type == EMR_RECTANGLE ? META_RECTANGLE : META_ELLIPSE);
            w.i16(clamp16(r.rect.bottom));
            w.i16(clamp16(r.rect.right));
            w.i16(clamp16(r.rect.top));
            w.i16(clamp16(r.rect.left));
            end();
            break;
        case EMR_EXTTEXTOUTW: {
            const QPoint p = r.point;
            if (p.x() < -kLimit || p.x() > kLimit || p.y() < -kLimit || p.y() > kLimit)
                break; // far outside the picture
            const QString &text = r.text();
            const QByteArray s = textBytes(text, font_.charSet);
            begin(META_EXTTEXTOUT);
            w.i16(p.y());
            w.i16(p.x());
            w.i16(static_cast<int>(s.size()));
            w.u16(0); // options
            w.raw(s);
            w.pad2();
            if (static_cast<qsizetype>(r.counts.size()) == text.size())
                for (int dx : r.counts)
                    w.i16(clamp16(dx));
            end();
            break;
        }
        case EMR_STRETCHDIBITS: {
            const QImage &image = r.image();
            if (image.isNull())
                break;
            Rect d = r.rect;
            QRect s = r.source;
            // A picture reaching beyond the 16-bit range is cut with its source.
            if (d.left < -kLimit || d.right > kLimit || d.top < -kLimit || d.bottom > kLimit || d.left > kLimit
                || d.right < -kLimit || d.top > kLimit || d.bottom < -kLimit) {
                if (d.width() == 0 || d.height() == 0)
                    break;
                const double fx = static_cast<double>(s.width()) / d.width();
                const double fy = static_cast<double>(s.height()) / d.height();
                const int l = clamp16(d.left), rr = clamp16(d.right), t = clamp16(d.top), bb = clamp16(d.bottom);
                // The file keeps the source in 16 bits too.
                s = QRect(clamp16(roundInt(s.x() + (l - d.left) * fx)), clamp16(roundInt(s.y() + (t - d.top) * fy)),
                          clamp16(roundInt((rr - l) * fx)), clamp16(roundInt((bb - t) * fy)));
                d = Rect{l, t, rr, bb};
                if (d.width() == 0 || d.height() == 0 || s.width() == 0 || s.height() == 0)
                    break;
            }
            const Dib dib = encodeDib(image);
            begin(META_STRETCHDIB);
            w.u32(r.rop);
            w.u16(0); // DIB_RGB_COLORS
            w.i16(s.height());
            w.i16(s.width());
            w.i16(image.height() - (s.y() + s.height())); // rows count from the bottom
            w.i16(s.x());
            w.i16(d.height());
            w.i16(d.width());
            w.i16(d.top);
            w.i16(d.left);
            w.raw(dib.header);
            w.raw(dib.bits);
            end();
            break;
        }
        default:
            break;
        }
    }

    const Metafile &flat_;
    Writer w;
    qsizetype start_ = 0;
    int w_, h_, inch_;
    double kx_, ky_;
    std::uint32_t maxRecord_ = 0;
    int maxObjects_ = 0;
    std::map<QByteArray, int> cache_;
    int selPen_ = -1, selBrush_ = -1, selFont_ = -1;
    Pen pen_;
    Brush brush_{BS_SOLID, rgb(255, 255, 255), 0};
    LogFont font_;
    bool clipOpen_ = false;
    Rect clipRect_;
};

} // namespace

QByteArray Metafile::toWmf() const
{
    const int W = std::max(1, frame_.width()), H = std::max(1, frame_.height());
    // 0.01 mm units while they fit 16 bits, coarser units for larger pictures.
    const int longest = std::max(W, H);
    const int inch = longest <= kLimit ? 2540 : std::max(1, static_cast<int>(2540LL * kLimit / longest));
    const int wu = std::max(1, roundInt(W * static_cast<double>(inch) / 2540.0));
    const int hu = std::max(1, roundInt(H * static_cast<double>(inch) / 2540.0));
    // Play the picture onto a recording canvas whose logical units are ours:
    // every record comes out in those units with its state made explicit.
    Metafile flat(reference_);
    flat.setFrame(frame_);
    const double pxW = double(frame_.width()) * reference_.horzRes / (reference_.horzSize * 100.0);
    const double pxH = double(frame_.height()) * reference_.vertRes / (reference_.vertSize * 100.0);
    {
        MetafileCanvas c(flat);
        c.setMapMode(MM_ANISOTROPIC);
        c.setWindowExt(wu, hu);
        c.setViewportExt(std::max(1, roundInt(pxW)), std::max(1, roundInt(pxH)));
        c.drawMetafile(*this, Rect{0, 0, wu, hu});
    }
    const double kx = pxW > 0 ? wu / std::max(1.0, static_cast<double>(roundInt(pxW))) : 1;
    const double ky = pxH > 0 ? hu / std::max(1.0, static_cast<double>(roundInt(pxH))) : 1;
    return WmfWriter(flat, wu, hu, inch, kx, ky).write();
}

// --- reading ----------------------------------------------------------------

std::optional<Metafile> readWmf(const QByteArray &d, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<Metafile> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const Reader top(d, 0, d.size());
    qsizetype off = 0;
    bool placeable = false;
    Rect box;
    int inch = 0;
    if (d.size() >= 22 && top.u32(0) == kPlaceableKey) {
        placeable = true;
        box = Rect{top.i16(6), top.i16(8), top.i16(10), top.i16(12)};
        inch = static_cast<int>(top.u16(14));
        off = 22;
    }
    const Reader h(d, off, d.size());
    if (!h.has(0, 18) || (h.u16(0) != 1 && h.u16(0) != 2) || h.u16(2) != 9)
        return fail(QStringLiteral("Неверный формат файла"));
    const DeviceMetrics ref = screenMetrics();
    Metafile m(ref);
    // The records are gathered first: a picture without a placeable header
    // gets its set-up in front of them once its window is known.
    RecordList out;
    auto push = [&](const MetaRecord &r) { out.append(r); };
    auto value = [&](int type, std::int64_t v) {
        MetaRecord r;
        r.type = type;
        r.value = v;
        push(std::move(r));
    };
    auto point = [&](int type, int x, int y) {
        MetaRecord r;
        r.type = type;
        r.point = QPoint(x, y);
        push(std::move(r));
    };

    // The picture's units on the reference device.
    if (placeable) {
        if (inch <= 0 || box.width() == 0 || box.height() == 0)
            return fail(QStringLiteral("Файл повреждён"));
        const int wmm = roundInt(std::abs(box.width()) * 2540.0 / inch);
        const int hmm = roundInt(std::abs(box.height()) * 2540.0 / inch);
        m.setMmSize(wmm, hmm);
        value(EMR_SETMAPMODE, MM_ANISOTROPIC);
        point(EMR_SETWINDOWORGEX, box.left, box.top);
        point(EMR_SETWINDOWEXTEX, box.width(), box.height());
        point(EMR_SETVIEWPORTEXTEX, std::max(1, m.width()), std::max(1, m.height()));
    }

    std::vector<std::optional<MetaRecord>> objects;
    auto addObject = [&](const MetaRecord &r) {
        size_t i = 0;
        while (i < objects.size() && objects[i])
            ++i;
        if (i == objects.size())
            objects.emplace_back();
        objects[i] = r;
    };
    QPoint windowExt;
    int charSet = DEFAULT_CHARSET;
    qsizetype at = off + static_cast<qsizetype>(h.u16(2)) * 2;
    while (at + 6 <= d.size()) {
        const Reader r0(d, at, d.size());
        const qint64 words = r0.u32(0);
        const std::uint16_t fn = static_cast<std::uint16_t>(r0.u16(4));
        if (words < 3 || words * 2 > d.size() - at)
            return fail(QStringLiteral("Файл повреждён"));
        const Reader r(d, at + 6, at + static_cast<qsizetype>(words) * 2);
        at += static_cast<qsizetype>(words) * 2;
        if (fn == META_EOF)
            break;
        switch (fn) {
        case META_SETBKMODE: value(EMR_SETBKMODE, r.u16(0)); break;
        case META_SETMAPMODE:
            break; // the picture's units are set from its header or window

        case META_SETROP2: value(EMR_SETROP2, r.u16(0)); break;
        case META_SETPOLYFILLMODE: value(EMR_SETPOLYFILLMODE, r.u16(0)); break;
        case META_SETSTRETCHBLTMODE: value(EMR_SETSTRETCHBLTMODE, r.u16(0)); break;
        case META_SETTEXTALIGN: value(EMR_SETTEXTALIGN, r.u16(0)); break;
        case META_SETBKCOLOR: value(EMR_SETBKCOLOR, r.u32(0) & 0xFFFFFF); break;
        case META_SETTEXTCOLOR: value(EMR_SETTEXTCOLOR, r.u32(0) & 0xFFFFFF); break;
        case META_SAVEDC: value(EMR_SAVEDC, 0); break;
        case META_RESTOREDC: value(EMR_RESTOREDC, r.i16(0)); break;
        case META_SETWINDOWORG: point(EMR_SETWINDOWORGEX, r.i16(2), r.i16(0)); break;
        case META_SETWINDOWEXT:
            point(EMR_SETWINDOWEXTEX, r.i16(2), r.i16(0));
            windowExt = QPoint(r.i16(2), r.i16(0));
            break;
        case META_MOVETO: point(EMR_MOVETOEX, r.i16(2), r.i16(0)); break;
        case META_LINETO: point(EMR_LINETO, r.i16(2), r.i16(0)); break;
        case META_INTERSECTCLIPRECT: case META_RECTANGLE: case META_ELLIPSE: {
            MetaRecord x;
            x.type = fn == META_INTERSECTCLIPRECT ? EMR_INTERSECTCLIPRECT
                     : fn == META_RECTANGLE       ? EMR_RECTANGLE
                                                  : EMR_ELLIPSE;
            x.rect = Rect{r.i16(6), r.i16(4), r.i16(2), r.i16(0)};
            push(std::move(x));
            break;
        }
        case META_POLYGON: case META_POLYLINE: {
            const int n = static_cast<int>(r.u16(0));
            if (!r.has(2, 4LL * n))
                return fail(QStringLiteral("Файл повреждён"));
            MetaRecord x;
            x.type = fn == META_POLYGON ? EMR_POLYGON : EMR_POLYLINE;
            for (int i = 0; i < n; ++i)
                x.points.emplace_back(r.i16(2 + 4 * i), r.i16(4 + 4 * i));
            push(std::move(x));
            break;
        }
        case META_POLYPOLYGON: {
            const int n = static_cast<int>(r.u16(0));
            if (!r.has(2, 2LL * n))
                return fail(QStringLiteral("Файл повреждён"));
            MetaRecord x;
            x.type = EMR_POLYPOLYGON;
            qsizetype total = 0;
            for (int i = 0; i < n; ++i) {
                x.counts.push_back(static_cast<int>(r.u16(2 + 2 * i)));
                total += x.counts.back();
            }
            const qsizetype p0 = 2 + 2LL * n;
            if (!r.has(p0, 4 * total))
                return fail(QStringLiteral("Файл повреждён"));
            for (qsizetype i = 0; i < total; ++i)
                x.points.emplace_back(r.i16(p0 + 4 * i), r.i16(p0 + 4 * i + 2));
            push(std::move(x));
            break;
        }
        case META_TEXTOUT: {
            const int n = static_cast<int>(r.u16(0));
            const qsizetype sl = (n + 1) & ~1;
            if (!r.has(2, sl + 4))
                return fail(QStringLiteral("Файл повреждён"));
            MetaRecord x;
            x.type = EMR_EXTTEXTOUTW;
            const QByteArray s = r.bytes(2, n);
            x.text = charSet == SYMBOL_CHARSET ? QString::fromLatin1(s) : platform::fromCp1251(s);
            x.point = QPoint(r.i16(2 + sl + 2), r.i16(2 + sl));
            push(std::move(x));
            break;
        }
        case META_EXTTEXTOUT: {
            if (!r.has(0, 8))
                return fail(QStringLiteral("Файл повреждён"));
            const int n = static_cast<int>(r.u16(4));
            const std::uint32_t options = r.u16(6);
            qsizetype p = 8;
            if (options & 0x0006) // a clip or opaque rectangle comes first
                p += 8;
            if (!r.has(p, n))
                return fail(QStringLiteral("Файл повреждён"));
            MetaRecord x;
            x.type = EMR_EXTTEXTOUTW;
            const QByteArray s = r.bytes(p, n);
            x.text = charSet == SYMBOL_CHARSET ? QString::fromLatin1(s) : platform::fromCp1251(s);
            x.point = QPoint(r.i16(2), r.i16(0));
            const qsizetype dx = p + ((n + 1) & ~1);
            if (r.has(dx, 2LL * n))
                for (int i = 0; i < n; ++i)
                    x.counts.push_back(r.i16(dx + 2 * i));
            push(std::move(x));
            break;
        }
        case META_CREATEPENINDIRECT: {
            MetaRecord x;
            x.type = EMR_CREATEPEN;
            x.pen = Pen{logPenStyle(r.u16(0)), r.i16(2), r.u32(6) & 0xFFFFFF};
            addObject(x);
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            MetaRecord x;
            x.type = EMR_CREATEBRUSHINDIRECT;
            x.brush = logBrush(r.u16(0), r.u32(2), r.u16(6));
            addObject(x);
            break;
        }
        case META_CREATEFONTINDIRECT: {
            MetaRecord x;
            x.type = EMR_EXTCREATEFONTINDIRECTW;
            LogFont &f = x.font;
            f.height = r.i16(0);
            f.width = r.i16(2);
            f.escapement = r.i16(4);
            f.orientation = r.i16(6);
            f.weight = r.i16(8);
            readFontBytes(r, 10, f);
            QByteArray face = r.bytes(18, std::min<qsizetype>(32, r.length() - 18));
            const qsizetype z = face.indexOf('\0');
            if (z >= 0)
                face.truncate(z);
            f.faceName = platform::fromCp1251(face);
            addObject(x);
            break;
        }
        case META_CREATEPALETTE: case META_CREATEPATTERNBRUSH: case META_CREATEREGION:
        case META_DIBCREATEPATTERNBRUSH: {
            // They take a slot of the table all the same.
            MetaRecord x;
            if (fn == META_CREATEPATTERNBRUSH || fn == META_DIBCREATEPATTERNBRUSH) {
                x.type = EMR_CREATEBRUSHINDIRECT;
                x.brush = Brush{BS_SOLID, rgb(128, 128, 128), 0};
            }
            addObject(x);
            break;
        }
        case META_SELECTOBJECT: {
            const size_t i = r.u16(0);
            if (i < objects.size() && objects[i] && objects[i]->type != 0) {
                if (objects[i]->type == EMR_EXTCREATEFONTINDIRECTW)
                    charSet = objects[i]->font.charSet;
                push(*objects[i]);
            }
            break;
        }
        case META_DELETEOBJECT: {
            const size_t i = r.u16(0);
            if (i < objects.size())
                objects[i].reset();
            break;
        }
        case META_STRETCHDIB: case META_DIBSTRETCHBLT: case META_DIBBITBLT: {
            // Parameters are stored last first.
            const std::uint32_t rop = r.u32(0);
            qsizetype p = 4;
            if (fn == META_STRETCHDIB)
                p += 2; // colour usage
            int srcH = 0, srcW = 0, ySrc = 0, xSrc = 0;
            if (fn == META_DIBBITBLT) {
                ySrc = r.i16(p);
                xSrc = r.i16(p + 2);
                p += 4;
            } else {
                srcH = r.i16(p);
                srcW = r.i16(p + 2);
                ySrc = r.i16(p + 4);
                xSrc = r.i16(p + 6);
                p += 8;
            }
            const int dH = r.i16(p), dW = r.i16(p + 2), yD = r.i16(p + 4), xD = r.i16(p + 6);
            p += 8;
            if (fn == META_DIBBITBLT) {
                srcW = dW;
                srcH = dH;
            }
            MetaRecord x;
            x.type = EMR_STRETCHDIBITS;
            x.rect = Rect{xD, yD, xD + dW, yD + dH};
            x.rop = rop;
            if (r.length() > p + 12) {
                const qsizetype hs = dibHeaderSize(r, p, r.length() - p);
                if (hs < 0)
                    return fail(QStringLiteral("Файл повреждён"));
                const QByteArray header = r.bytes(p, hs);
                const qsizetype bs = std::min(dibBitsSize(header), r.length() - p - hs);
                const auto img = decodeDib(header, r.bytes(p + hs, bs));
                if (!img)
                    break;
                x.image = *img;
                const bool topDown = Reader(header, 0, header.size()).u32(0) != 12
                                     && Reader(header, 0, header.size()).i32(8) < 0;
                x.source = QRect(xSrc, topDown ? ySrc : img->height() - (ySrc + srcH), srcW, srcH);
            }
            push(std::move(x));
            break;
        }
        default:
            break; // records without an effect here
        }
    }
    if (!placeable) {
        // No physical size: the window's extent, as pixels of the screen.
        const int wpx = std::abs(windowExt.x()), hpx = std::abs(windowExt.y());
        if (wpx > 0 && hpx > 0)
            m.setSizeInPixels(wpx, hpx);
        MetaRecord mode;
        mode.type = EMR_SETMAPMODE;
        mode.value = MM_ANISOTROPIC;
        MetaRecord extent;
        extent.type = EMR_SETVIEWPORTEXTEX;
        extent.point = QPoint(std::max(1, wpx), std::max(1, hpx));
        m.records().append(mode);
        m.records().append(extent);
    }
    if (m.records().empty())
        m.records() = std::move(out);
    else
        m.records().append(out);
    return m;
}

} // namespace platform::gdi
