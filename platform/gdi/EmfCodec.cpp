// Enhanced metafiles: writing the records of a Metafile and reading the common
// records of files written here or elsewhere. Offsets are those of the
// published record layouts.

#include "platform/gdi/CodecSupport.h"

#include "platform/TextCodec.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <array>
#include <map>
#include <set>

namespace platform::gdi {

namespace codec {

Dib encodeDib(const QImage &image)
{
    const QImage img = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const int stride = ((w * 3) + 3) & ~3;
    Writer hdr;
    hdr.u32(40);
    hdr.i32(w);
    hdr.i32(h); // bottom-up
    hdr.u16(1);
    hdr.u16(24);
    hdr.u32(0);
    hdr.u32(static_cast<std::uint32_t>(stride * h));
    hdr.i32(3780);
    hdr.i32(3780);
    hdr.u32(0);
    hdr.u32(0);
    QByteArray bits(static_cast<qsizetype>(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(h - 1 - y));
        char *out = bits.data() + static_cast<qsizetype>(y) * stride;
        for (int x = 0; x < w; ++x) {
            out[3 * x] = static_cast<char>(qBlue(row[x]));
            out[3 * x + 1] = static_cast<char>(qGreen(row[x]));
            out[3 * x + 2] = static_cast<char>(qRed(row[x]));
        }
    }
    return Dib{hdr.bytes, bits};
}

qsizetype dibHeaderSize(const Reader &r, qsizetype o, qsizetype available)
{
    const std::uint32_t size = r.u32(o);
    if (size == 12) // the old core header: 16-bit sizes, 3-byte colour table
        return available >= 12 ? 12 + 3 * (r.u16(o + 10) <= 8 ? (1 << r.u16(o + 10)) : 0) : -1;
    if (size < 40 || size > 124 || !r.has(o, size))
        return -1;
    const std::uint32_t bpp = r.u16(o + 14);
    const std::uint32_t compression = r.u32(o + 16);
    std::uint32_t colours = r.u32(o + 32);
    if (colours == 0 && bpp <= 8)
        colours = 1u << bpp;
    if (colours > 256)
        return -1;
    qsizetype total = size + 4 * static_cast<qsizetype>(colours);
    if (compression == 3 && size == 40)
        total += 12; // the three masks follow the header
    return total;
}

qsizetype dibBitsSize(const QByteArray &header)
{
    const Reader r(header, 0, header.size());
    int w = 0, h = 0, bpp = 0;
    if (r.u32(0) == 12) {
        w = static_cast<int>(r.u16(4));
        h = static_cast<int>(r.u16(6));
        bpp = static_cast<int>(r.u16(10));
    } else {
        w = r.i32(4);
        h = r.i32(8) == INT32_MIN ? 0 : std::abs(r.i32(8));
        bpp = static_cast<int>(r.u16(14));
    }
    // What no reader decodes has no bits to take (and no size to overflow).
    if (w <= 0 || h <= 0 || bpp <= 0 || w > 32768 || h > 32768 || bpp > 32)
        return 0;
    const qint64 stride = ((static_cast<qint64>(w) * bpp + 31) / 32) * 4;
    return static_cast<qsizetype>(stride * h);
}

std::optional<QImage> decodeDib(const QByteArray &header, const QByteArray &bits, int usage)
{
    const Reader r(header, 0, header.size());
    int w = 0, h = 0, bpp = 0;
    std::uint32_t compression = 0;
    qsizetype hsize = r.u32(0);
    bool core = hsize == 12;
    if (core) {
        w = static_cast<int>(r.u16(4));
        h = static_cast<int>(r.u16(6));
        bpp = static_cast<int>(r.u16(10));
    } else {
        if (hsize < 40 || header.size() < 40)
            return std::nullopt;
        w = r.i32(4);
        h = r.i32(8);
        bpp = static_cast<int>(r.u16(14));
        compression = r.u32(16);
    }
    if (h == INT32_MIN)
        return std::nullopt;
    const bool topDown = h < 0;
    h = std::abs(h);
    // Pictures of a metafile are at most a few thousand pixels a side.
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768 || static_cast<qint64>(w) * h > 100'000'000)
        return std::nullopt;
    if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32)))
        return std::nullopt; // run-length and embedded formats are not read
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const qint64 stride = ((static_cast<qint64>(w) * bpp + 31) / 32) * 4;
    if (bits.size() < stride * h)
        return std::nullopt;
    std::vector<QRgb> palette;
    std::uint32_t rMask = 0x7C00, gMask = 0x03E0, bMask = 0x001F;
    if (bpp == 32) { rMask = 0xFF0000; gMask = 0xFF00; bMask = 0xFF; }
    if (bpp <= 8) {
        const int entry = core ? 3 : 4;
        // A table longer than the indices can reach has nothing more to give.
        const std::uint32_t stated = core ? 0 : r.u32(32);
        const int n = stated == 0 || stated > (1u << bpp) ? 1 << bpp : static_cast<int>(stated);
        for (int i = 0; i < n; ++i) {
            const qsizetype o = hsize + static_cast<qsizetype>(i) * entry;
            if (usage == 1 || !r.has(o, 3)) {
                // Palette indices (or a missing table) show as grey levels.
                const int g = n > 1 ? i * 255 / (n - 1) : 0;
                palette.push_back(qRgb(g, g, g));
            } else {
                palette.push_back(qRgb(static_cast<int>(r.u8(o + 2)), static_cast<int>(r.u8(o + 1)),
                                       static_cast<int>(r.u8(o))));
            }
        }
    } else if (compression == 3) {
        const qsizetype o = hsize == 40 ? 40 : 40;
        if (r.has(o, 12)) {
            rMask = r.u32(o);
            gMask = r.u32(o + 4);
            bMask = r.u32(o + 8);
        }
    }
    auto channel = [](std::uint32_t v, std::uint32_t mask) {
        if (!mask)
            return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const std::uint32_t m = mask >> shift;
        return static_cast<int>(((v >> shift) & m) * 255 / m);
    };
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const unsigned char *row =
            reinterpret_cast<const unsigned char *>(bits.constData()) + stride * (topDown ? y : h - 1 - y);
        QRgb *out = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = 0;
            switch (bpp) {
            case 1: case 4: case 8: {
                const int bitIndex = x * bpp;
                const int byte = row[bitIndex / 8];
                const int idx = (byte >> (8 - bpp - bitIndex % 8)) & ((1 << bpp) - 1);
                c = idx < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(idx)] : qRgb(0, 0, 0);
                break;
            }
            case 16: {
                const std::uint32_t v = le::u16(row + 2 * x);
                c = qRgb(channel(v, rMask), channel(v, gMask), channel(v, bMask));
                break;
            }
            case 24:
                c = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 32: {
                const std::uint32_t v = le::u32(row + 4 * x);
                c = qRgb(channel(v, rMask), channel(v, gMask), channel(v, bMask));
                break;
            }
            default: break;
            }
            out[x] = 0xFF000000u | c;
        }
    }
    return img;
}

int logPenStyle(std::uint32_t style)
{
    const int s = static_cast<int>(style & 0x0F);
    return s > PS_INSIDEFRAME ? PS_SOLID : s;
}

Brush logBrush(std::uint32_t style, std::uint32_t color, std::uint32_t hatch)
{
    return Brush{style == BS_NULL ? BS_NULL : (style == BS_HATCHED ? BS_HATCHED : BS_SOLID), color & 0xFFFFFF,
                 static_cast<int>(std::min<std::uint32_t>(hatch, 5))};
}

void writeFontBytes(Writer &w, const LogFont &f)
{
    w.u8(f.italic ? 1 : 0);
    w.u8(f.underline ? 1 : 0);
    w.u8(f.strikeOut ? 1 : 0);
    w.u8(static_cast<std::uint8_t>(f.charSet));
    w.u8(static_cast<std::uint8_t>(f.outPrecision));
    w.u8(static_cast<std::uint8_t>(f.clipPrecision));
    w.u8(static_cast<std::uint8_t>(f.quality));
    w.u8(static_cast<std::uint8_t>(f.pitchAndFamily));
}

void readFontBytes(const Reader &r, qsizetype offset, LogFont &f)
{
    f.italic = r.u8(offset) != 0;
    f.underline = r.u8(offset + 1) != 0;
    f.strikeOut = r.u8(offset + 2) != 0;
    f.charSet = static_cast<int>(r.u8(offset + 3));
    f.outPrecision = static_cast<int>(r.u8(offset + 4));
    f.clipPrecision = static_cast<int>(r.u8(offset + 5));
    f.quality = static_cast<int>(r.u8(offset + 6));
    f.pitchAndFamily = static_cast<int>(r.u8(offset + 7));
}

Pen stockPen(std::uint32_t index)
{
    switch (index) {
    case 6: return Pen{PS_SOLID, 0, rgb(255, 255, 255)};
    case 8: return Pen{PS_NULL, 0, 0};
    default: return Pen{PS_SOLID, 0, 0}; // BLACK_PEN, DC_PEN
    }
}

Brush stockBrush(std::uint32_t index)
{
    switch (index) {
    case 1: return Brush{BS_SOLID, rgb(192, 192, 192), 0};
    case 2: return Brush{BS_SOLID, rgb(128, 128, 128), 0};
    case 3: return Brush{BS_SOLID, rgb(64, 64, 64), 0};
    case 4: return Brush{BS_SOLID, 0, 0};
    case 5: return Brush{BS_NULL, 0, 0};
    default: return Brush{BS_SOLID, rgb(255, 255, 255), 0}; // WHITE_BRUSH, DC_BRUSH
    }
}

} // namespace codec

using namespace codec;

namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kStock = 0x80000000u;

bool fits16(std::span<const QPoint> pts)
{
    for (const QPoint &p : pts)
        if (p.x() < -32768 || p.x() > 32767 || p.y() < -32768 || p.y() > 32767)
            return false;
    return true;
}

void rectl(Writer &w, const Rect &r)
{
    w.i32(r.left);
    w.i32(r.top);
    w.i32(r.right);
    w.i32(r.bottom);
}

// A coordinate worked out from the file's values, held to the range of
// coordinates (truncated as the platform's conversion does).
int clampedInt(double v)
{
    return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// Inclusive device bounds of a record.
Rect inclusive(const Rect &b)
{
    if (b.right <= b.left || b.bottom <= b.top)
        return Rect{0, 0, -1, -1};
    return Rect{b.left, b.top, b.right - 1, b.bottom - 1};
}

class EmfWriter {
public:
    explicit EmfWriter(const Metafile &m) : m_(m) {}

    QByteArray write()
    {
        header();
        for (const RecordView &r : m_.records())
            record(r);
        // EOF: no palette.
        begin(EMR_EOF);
        w_.u32(0);
        w_.u32(16);
        w_.u32(20);
        end();
        w_.put32(48, static_cast<std::uint32_t>(w_.size()));
        w_.put32(52, static_cast<std::uint32_t>(count_));
        w_.put16(56, static_cast<std::uint32_t>(maxHandle_ + 1));
        return w_.bytes;
    }

private:
    void begin(int type)
    {
        start_ = w_.size();
        w_.u32(static_cast<std::uint32_t>(type));
        w_.u32(0);
    }
    void end()
    {
        w_.pad4();
        w_.put32(start_ + 4, static_cast<std::uint32_t>(w_.size() - start_));
        ++count_;
    }

    void header()
    {
        const DeviceMetrics &ref = m_.reference();
        begin(EMR_HEADER);
        rectl(w_, inclusive(m_.bounds()));                  // 8 rclBounds
        const Rect f = m_.frame();
        rectl(w_, f);                                       // 24 rclFrame, 0.01 mm
        w_.u32(kEmfSignature);                              // 40
        w_.u32(0x10000);                                    // 44 version
        w_.u32(0);                                          // 48 bytes, patched
        w_.u32(0);                                          // 52 records, patched
        w_.u16(1);                                          // 56 handles, patched
        w_.u16(0);                                          // 58
        w_.u32(0);                                          // 60 description length
        w_.u32(0);                                          // 64 description offset
        w_.u32(0);                                          // 68 palette entries
        w_.i32(ref.horzRes);                                // 72 device pixels
        w_.i32(ref.vertRes);
        w_.i32(ref.horzSize);                               // 80 device millimetres
        w_.i32(ref.vertSize);
        w_.u32(0);                                          // 88 pixel format size
        w_.u32(0);                                          // 92 pixel format offset
        w_.u32(0);                                          // 96 OpenGL
        w_.i32(clampedInt(ref.horzSize * 1000.0));          // 100 micrometres
        w_.i32(clampedInt(ref.vertSize * 1000.0));
        end();
    }

    std::uint32_t allocHandle()
    {
        std::uint32_t h = 1;
        while (used_.count(h))
            ++h;
        used_.insert({h, true});
        maxHandle_ = std::max(maxHandle_, h);
        return h;
    }

    void releaseDeferred()
    {
        if (!saves_.empty())
            return;
        for (auto it = deferred_.begin(); it != deferred_.end();) {
            const std::uint32_t h = *it;
            if (h != pen_ && h != brush_ && h != font_) {
                begin(EMR_DELETEOBJECT);
                w_.u32(h);
                end();
                used_.erase(h);
                it = deferred_.erase(it);
            } else {
                ++it;
            }
        }
    }

    // Selects a new object of a kind, retiring the one it replaces.
    void selectNew(std::uint32_t &slot, std::uint32_t h)
    {
        begin(EMR_SELECTOBJECT);
        w_.u32(h);
        end();
        const std::uint32_t old = slot;
        slot = h;
        if (old && !(old & kStock))
            deferred_.push_back(old);
        releaseDeferred();
    }

    void points(std::span<const QPoint> pts, bool small)
    {
        for (const QPoint &p : pts) {
            if (small) {
                w_.i16(p.x());
                w_.i16(p.y());
            } else {
                w_.i32(p.x());
                w_.i32(p.y());
            }
        }
    }

    void record(const RecordView &r)
    {
        switch (r.type) {
        case EMR_CREATEPEN: {
            const std::uint32_t h = allocHandle();
            begin(EMR_CREATEPEN);
            w_.u32(h);
            w_.u32(static_cast<std::uint32_t>(r.pen.style));
            w_.i32(r.pen.width);
            w_.i32(0);
            w_.u32(r.pen.color);
            end();
            selectNew(pen_, h);
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            const std::uint32_t h = allocHandle();
            begin(EMR_CREATEBRUSHINDIRECT);
            w_.u32(h);
            w_.u32(static_cast<std::uint32_t>(r.brush.style));
            w_.u32(r.brush.color);
            w_.u32(static_cast<std::uint32_t>(r.brush.hatch));
            end();
            selectNew(brush_, h);
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            const std::uint32_t h = allocHandle();
            begin(EMR_EXTCREATEFONTINDIRECTW);
            w_.u32(h);                                      // 8
            const LogFont &f = r.font();
            w_.i32(f.height);                               // 12
            w_.i32(f.width);                                // 16
            w_.i32(f.escapement);                           // 20
            w_.i32(f.orientation);                          // 24
            w_.i32(f.weight);                               // 28
            writeFontBytes(w_, f);                          // 32
            const QString face = f.faceName.left(31);       // 40: 32 UTF-16 units
            for (int i = 0; i < 32; ++i)
                w_.u16(i < face.size() ? face.at(i).unicode() : 0);
            end();                                          // 104
            selectNew(font_, h);
            break;
        }
        case EMR_SETMAPMODE: case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2:
        case EMR_SETSTRETCHBLTMODE: case EMR_SETTEXTALIGN: case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR:
            begin(r.type);
            w_.u32(static_cast<std::uint32_t>(r.value));
            end();
            break;
        case EMR_RESTOREDC:
            begin(r.type);
            w_.i32(static_cast<std::int32_t>(r.value));
            end();
            if (!saves_.empty()) {
                // Objects selected at the save are selected again.
                long long n = static_cast<long long>(saves_.size());
                long long target = r.value < 0 ? n + r.value : r.value - 1;
                if (target >= 0 && target < n) {
                    pen_ = saves_[static_cast<size_t>(target)][0];
                    brush_ = saves_[static_cast<size_t>(target)][1];
                    font_ = saves_[static_cast<size_t>(target)][2];
                    saves_.resize(static_cast<size_t>(target));
                }
                releaseDeferred();
            }
            break;
        case EMR_SAVEDC:
            begin(r.type);
            end();
            saves_.push_back({pen_, brush_, font_});
            break;
        case EMR_SETWINDOWEXTEX: case EMR_SETWINDOWORGEX: case EMR_SETVIEWPORTEXTEX: case EMR_SETVIEWPORTORGEX:
        case EMR_MOVETOEX: case EMR_LINETO:
            begin(r.type);
            w_.i32(r.point.x());
            w_.i32(r.point.y());
            end();
            break;
        case EMR_INTERSECTCLIPRECT: case EMR_ELLIPSE: case EMR_RECTANGLE:
            begin(r.type);
            rectl(w_, r.rect);
            end();
            break;
        case EMR_SETWORLDTRANSFORM: case EMR_MODIFYWORLDTRANSFORM: {
            begin(r.type);
            const QTransform &t = r.transform();
            w_.f32(static_cast<float>(t.m11()));
            w_.f32(static_cast<float>(t.m12()));
            w_.f32(static_cast<float>(t.m21()));
            w_.f32(static_cast<float>(t.m22()));
            w_.f32(static_cast<float>(t.dx()));
            w_.f32(static_cast<float>(t.dy()));
            if (r.type == EMR_MODIFYWORLDTRANSFORM)
                w_.u32(static_cast<std::uint32_t>(r.value));
            end();
            break;
        }
        case EMR_EXTSELECTCLIPRGN: {
            begin(r.type);
            if (r.nullRegion) {
                w_.u32(0);
                w_.u32(5);
            } else {
                const QRegion &region = r.region();
                const int n = static_cast<int>(region.rectCount());
                w_.u32(static_cast<std::uint32_t>(32 + 16 * n)); // 8 cbRgnData
                w_.u32(static_cast<std::uint32_t>(r.value ? r.value : 5)); // 12 mode
                w_.u32(32);                                 // 16 header size
                w_.u32(1);                                  // 20 RDH_RECTANGLES
                w_.u32(static_cast<std::uint32_t>(n));      // 24
                w_.u32(static_cast<std::uint32_t>(16 * n)); // 28
                const QRect b = region.boundingRect();
                rectl(w_, Rect{b.left(), b.top(), b.right() + 1, b.bottom() + 1}); // 32
                for (const QRect &q : region)
                    rectl(w_, Rect{q.left(), q.top(), q.right() + 1, q.bottom() + 1}); // 48...
            }
            end();
            break;
        }
        case EMR_POLYGON: case EMR_POLYLINE: {
            const bool small = fits16(r.points);
            begin(small ? (r.type == EMR_POLYGON ? EMR_POLYGON16 : EMR_POLYLINE16) : r.type);
            rectl(w_, inclusive(r.bounds));                 // 8
            w_.u32(static_cast<std::uint32_t>(r.points.size())); // 24
            points(r.points, small);                        // 28
            end();
            break;
        }
        case EMR_POLYPOLYGON: {
            const bool small = fits16(r.points);
            begin(small ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON);
            rectl(w_, inclusive(r.bounds));                 // 8
            w_.u32(static_cast<std::uint32_t>(r.counts.size())); // 24
            w_.u32(static_cast<std::uint32_t>(r.points.size()));  // 28
            for (int c : r.counts)                          // 32
                w_.u32(static_cast<std::uint32_t>(c));
            points(r.points, small);
            end();
            break;
        }
        case EMR_EXTTEXTOUTW: {
            begin(EMR_EXTTEXTOUTW);
            rectl(w_, inclusive(r.bounds));                 // 8
            w_.u32(1);                                      // 24 GM_COMPATIBLE
            w_.f32(0);                                      // 28
            w_.f32(0);                                      // 32
            w_.i32(r.point.x());                            // 36 reference
            w_.i32(r.point.y());
            const QString &text = r.text();
            const int n = static_cast<int>(text.size());
            w_.u32(static_cast<std::uint32_t>(n));          // 44
            w_.u32(76);                                     // 48 string offset
            w_.u32(0);                                      // 52 options
            rectl(w_, Rect{0, 0, -1, -1});                  // 56
            const std::uint32_t dxAt = 76 + ((2 * n + 3) & ~3);
            w_.u32(dxAt);                                   // 72
            for (QChar c : text)                            // 76
                w_.u16(c.unicode());
            w_.pad4();
            for (int i = 0; i < n; ++i)
                w_.i32(i < static_cast<int>(r.counts.size()) ? r.counts[static_cast<size_t>(i)] : 0);
            end();
            break;
        }
        case EMR_STRETCHDIBITS: {
            const QRect &s = r.source;
            const QImage &image = r.image();
            if (image.isNull()) {
                // An operation without a source: a block transfer of the pattern.
                begin(EMR_BITBLT);
                rectl(w_, inclusive(r.bounds));             // 8
                w_.i32(r.rect.left);                        // 24
                w_.i32(r.rect.top);
                w_.i32(r.rect.width());                     // 32
                w_.i32(r.rect.height());
                w_.u32(r.rop);                              // 40
                w_.i32(0);                                  // 44 xSrc
                w_.i32(0);
                w_.f32(1); w_.f32(0); w_.f32(0); w_.f32(1); w_.f32(0); w_.f32(0); // 52 xform
                w_.u32(0);                                  // 76 background
                w_.u32(0);                                  // 80 usage
                w_.u32(0); w_.u32(0); w_.u32(0); w_.u32(0); // 84..99 no bitmap
                end();
                break;
            }
            const Dib dib = encodeDib(image);
            begin(EMR_STRETCHDIBITS);
            rectl(w_, inclusive(r.bounds));                 // 8
            w_.i32(r.rect.left);                            // 24 xDest
            w_.i32(r.rect.top);                             // 28 yDest
            w_.i32(s.x());                                  // 32 xSrc
            // 36 ySrc: the rows of the bitmap count from its bottom.
            w_.i32(image.height() - (s.y() + s.height()));
            w_.i32(s.width());                              // 40
            w_.i32(s.height());                             // 44
            w_.u32(80);                                     // 48 offBmiSrc
            w_.u32(static_cast<std::uint32_t>(dib.header.size())); // 52
            w_.u32(static_cast<std::uint32_t>(80 + dib.header.size())); // 56 offBitsSrc
            w_.u32(static_cast<std::uint32_t>(dib.bits.size())); // 60
            w_.u32(0);                                      // 64 DIB_RGB_COLORS
            w_.u32(r.rop);                                  // 68
            w_.i32(r.rect.width());                         // 72 cxDest
            w_.i32(r.rect.height());                        // 76 cyDest
            w_.raw(dib.header);                             // 80
            w_.raw(dib.bits);
            end();
            break;
        }
        default:
            break;
        }
    }

    const Metafile &m_;
    Writer w_;
    qsizetype start_ = 0;
    int count_ = 0;
    std::map<std::uint32_t, bool> used_;
    std::vector<std::uint32_t> deferred_;
    std::vector<std::array<std::uint32_t, 3>> saves_;
    std::uint32_t maxHandle_ = 0;
    std::uint32_t pen_ = kStock | 7;
    std::uint32_t brush_ = kStock | 0;
    std::uint32_t font_ = kStock | 13;
};

// --- reading ----------------------------------------------------------------

class EmfReader {
public:
    EmfReader(const QByteArray &data, QString *error) : d_(data), error_(error) {}

    std::optional<Metafile> read()
    {
        const Reader h(d_, 0, d_.size());
        if (d_.size() < 88 || h.u32(0) != EMR_HEADER || h.u32(40) != kEmfSignature)
            return fail(QStringLiteral("Неверный формат файла"));
        const qsizetype headerSize = h.u32(4);
        if (headerSize < 88 || headerSize > d_.size() || headerSize % 4)
            return fail(QStringLiteral("Файл повреждён"));
        DeviceMetrics ref = screenMetrics();
        const int devW = h.i32(72), devH = h.i32(76), mmW = h.i32(80), mmH = h.i32(84);
        if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
            ref.horzRes = devW;
            ref.vertRes = devH;
            ref.horzSize = mmW;
            ref.vertSize = mmH;
        }
        Metafile m(ref);
        Rect frame{h.i32(24), h.i32(28), h.i32(32), h.i32(36)};
        // The bounds are inclusive; one past the largest coordinate stays one.
        const Rect bounds{h.i32(8), h.i32(12), clampedInt(h.i32(16) + 1.0), clampedInt(h.i32(20) + 1.0)};
        if (frame.width() <= 0 || frame.height() <= 0) {
            // No frame: the bounds, in 0.01 mm.
            const double kx = ref.horzSize * 100.0 / ref.horzRes, ky = ref.vertSize * 100.0 / ref.vertRes;
            frame = Rect{clampedInt(bounds.left * kx), clampedInt(bounds.top * ky), clampedInt(bounds.right * kx),
                         clampedInt(bounds.bottom * ky)};
        }
        m.setFrame(frame);
        m.setBounds(bounds);
        // A file shorter than its header says was cut: what is there may be
        // any part of the picture.
        qsizetype end = h.u32(48);
        if (end > d_.size())
            return fail(QStringLiteral("Файл повреждён"));
        if (end <= 0)
            end = d_.size();
        qsizetype off = headerSize;
        out_ = &m.records();
        bool ended = false;
        while (off + 8 <= end) {
            const Reader r(d_, off, end);
            const std::uint32_t type = r.u32(0);
            const qsizetype size = r.u32(4);
            if (size < 8 || size % 4 || size > end - off)
                return fail(QStringLiteral("Файл повреждён"));
            const Reader rec(d_, off, off + size);
            if (type == EMR_EOF) {
                ended = true;
                break;
            }
            if (!parse(type, rec))
                return fail(QStringLiteral("Файл повреждён"));
            off += size;
        }
        // Every picture ends with its end record; without it the file was cut
        // where a record ends.
        if (!ended)
            return fail(QStringLiteral("Файл повреждён"));
        return m;
    }

private:
    std::optional<Metafile> fail(const QString &why)
    {
        if (error_)
            *error_ = why;
        return std::nullopt;
    }

    void push(const MetaRecord &r) { out_->append(r); }
    void value(int type, std::int64_t v)
    {
        MetaRecord m;
        m.type = type;
        m.value = v;
        push(std::move(m));
    }

    bool readPoints(const Reader &r, qsizetype at, std::uint32_t n, bool small, std::vector<QPoint> &pts)
    {
        const qsizetype each = small ? 4 : 8;
        if (n > 10'000'000 || !r.has(at, static_cast<qsizetype>(n) * each))
            return false;
        pts.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const qsizetype o = at + static_cast<qsizetype>(i) * each;
            pts.emplace_back(small ? r.i16(o) : r.i32(o), small ? r.i16(o + 2) : r.i32(o + 4));
        }
        return true;
    }

    // Bezier runs become polylines.
    static std::vector<QPoint> flattenBezier(const QPoint &start, const std::vector<QPoint> &pts)
    {
        QPainterPath path(start);
        for (size_t i = 0; i + 2 < pts.size(); i += 3)
            path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        std::vector<QPoint> out;
        for (const QPolygonF &poly : path.toSubpathPolygons())
            for (const QPointF &p : poly)
                out.push_back(p.toPoint());
        return out;
    }

    void figure(std::vector<QPoint> pts, int type)
    {
        if (inPath_) {
            if (type == EMR_MOVETOEX) {
                path_.push_back({});
            }
            if (path_.empty())
                path_.push_back({});
            for (const QPoint &p : pts)
                path_.back().push_back(p);
            return;
        }
        if (pts.size() < 2)
            return;
        MetaRecord m;
        m.type = EMR_POLYLINE;
        m.points = std::move(pts);
        push(std::move(m));
    }

    void selectPen(const Pen &p)
    {
        pen_ = p;
        MetaRecord m;
        m.type = EMR_CREATEPEN;
        m.pen = p;
        push(std::move(m));
    }
    void selectBrush(const Brush &b)
    {
        brush_ = b;
        MetaRecord m;
        m.type = EMR_CREATEBRUSHINDIRECT;
        m.brush = b;
        push(std::move(m));
    }

    // A finished path drawn as its figures: filled, stroked or both.
    void drawPath(bool fill, bool stroke)
    {
        std::vector<QPoint> pts;
        std::vector<int> counts;
        std::vector<int> figureOf;
        for (size_t k = 0; k < path_.size(); ++k) {
            const auto &f = path_[k];
            if (f.size() < 2)
                continue;
            figureOf.push_back(static_cast<int>(k));
            counts.push_back(static_cast<int>(f.size()));
            pts.insert(pts.end(), f.begin(), f.end());
        }
        path_.clear();
        if (counts.empty())
            return;
        const Pen pen = pen_;
        if (fill) {
            if (!stroke)
                selectPen(Pen{PS_NULL, 0, 0});
            MetaRecord m;
            m.type = EMR_POLYPOLYGON;
            m.points = pts;
            m.counts = counts;
            push(std::move(m));
            if (!stroke)
                selectPen(pen);
        } else if (stroke) {
            size_t at = 0;
            for (size_t k = 0; k < counts.size(); ++k) {
                const int c = counts[k];
                MetaRecord m;
                m.type = EMR_POLYLINE;
                m.points.assign(pts.begin() + static_cast<long>(at), pts.begin() + static_cast<long>(at + c));
                if (closed_.count(figureOf[k]))
                    m.points.push_back(m.points.front());
                at += static_cast<size_t>(c);
                push(std::move(m));
            }
        }
        closed_.clear();
    }

    bool bitmapRecord(const Reader &r, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                      int cySrc, qsizetype offBmi, qsizetype cbBmi, qsizetype offBits, qsizetype cbBits,
                      std::uint32_t usage, std::uint32_t rop)
    {
        MetaRecord m;
        m.type = EMR_STRETCHDIBITS;
        m.rect = Rect{xDest, yDest, clampedInt(double(xDest) + cxDest), clampedInt(double(yDest) + cyDest)};
        m.rop = rop;
        if (cbBmi > 0) {
            if (!r.has(offBmi, cbBmi) || !r.has(offBits, cbBits))
                return false;
            const auto img = decodeDib(r.bytes(offBmi, cbBmi), r.bytes(offBits, cbBits), static_cast<int>(usage));
            if (!img)
                return true; // a picture we cannot decode is left out
            const Reader hb(d_, r.absolute(offBmi), r.absolute(offBmi) + cbBmi);
            const bool topDown = hb.u32(0) != 12 && hb.i32(8) < 0;
            const int top = topDown ? ySrc : clampedInt(double(img->height()) - ySrc - cySrc);
            // A source window that no picture of ours could hold is no window:
            // the picture is left out.
            constexpr int kFar = 1 << 24;
            for (const int v : {xSrc, top, cxSrc, cySrc})
                if (v < -kFar || v > kFar)
                    return true;
            m.image = *img;
            m.source = QRect(xSrc, top, cxSrc, cySrc);
        }
        push(std::move(m));
        return true;
    }

    bool parse(std::uint32_t type, const Reader &r)
    {
        switch (type) {
        case EMR_SETMAPMODE: case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2:
        case EMR_SETSTRETCHBLTMODE: case EMR_SETTEXTALIGN: case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR:
            if (!r.has(8, 4))
                return false;
            value(static_cast<int>(type), r.u32(8));
            return true;
        case EMR_RESTOREDC:
            if (!r.has(8, 4))
                return false;
            value(EMR_RESTOREDC, r.i32(8));
            return true;
        case EMR_SAVEDC:
            value(EMR_SAVEDC, 0);
            return true;
        case EMR_SETWINDOWEXTEX: case EMR_SETWINDOWORGEX: case EMR_SETVIEWPORTEXTEX: case EMR_SETVIEWPORTORGEX: {
            if (!r.has(8, 8))
                return false;
            MetaRecord m;
            m.type = static_cast<int>(type);
            m.point = QPoint(r.i32(8), r.i32(12));
            push(std::move(m));
            return true;
        }
        case EMR_MOVETOEX: case EMR_LINETO: {
            if (!r.has(8, 8))
                return false;
            const QPoint p(r.i32(8), r.i32(12));
            if (inPath_) {
                if (type == EMR_MOVETOEX)
                    path_.push_back({p});
                else
                    figure({p}, 0);
            } else {
                MetaRecord m;
                m.type = static_cast<int>(type);
                m.point = p;
                push(std::move(m));
            }
            current_ = p;
            return true;
        }
        case EMR_INTERSECTCLIPRECT: case EMR_ELLIPSE: case EMR_RECTANGLE: {
            if (!r.has(8, 16))
                return false;
            MetaRecord m;
            m.type = static_cast<int>(type);
            m.rect = Rect{r.i32(8), r.i32(12), r.i32(16), r.i32(20)};
            push(std::move(m));
            return true;
        }
        case EMR_SETWORLDTRANSFORM: case EMR_MODIFYWORLDTRANSFORM: {
            if (!r.has(8, 24))
                return false;
            // A transform that is no number would put every point nowhere:
            // the record is passed over.
            for (qsizetype o = 8; o < 32; o += 4)
                if (!std::isfinite(r.f32(o)))
                    return true;
            MetaRecord m;
            m.type = static_cast<int>(type);
            m.transform = QTransform(r.f32(8), r.f32(12), r.f32(16), r.f32(20), r.f32(24), r.f32(28));
            if (type == EMR_MODIFYWORLDTRANSFORM)
                m.value = r.u32(32);
            push(std::move(m));
            return true;
        }
        case EMR_CREATEPEN: {
            if (!r.has(8, 20))
                return false;
            MetaRecord m;
            m.type = EMR_CREATEPEN;
            m.pen = Pen{static_cast<int>(r.u32(12) & 0x0F), r.i32(16), r.u32(24) & 0xFFFFFF};
            objects_[r.u32(8)] = m;
            return true;
        }
        case 95: { // EMR_EXTCREATEPEN
            if (!r.has(8, 44))
                return false;
            MetaRecord m;
            m.type = EMR_CREATEPEN;
            const std::uint32_t style = r.u32(28);
            m.pen = Pen{logPenStyle(style), static_cast<int>(r.u32(32)), r.u32(40) & 0xFFFFFF};
            if (r.u32(36) == BS_NULL)
                m.pen.style = PS_NULL;
            objects_[r.u32(8)] = m;
            return true;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            if (!r.has(8, 16))
                return false;
            MetaRecord m;
            m.type = EMR_CREATEBRUSHINDIRECT;
            m.brush = logBrush(r.u32(12), r.u32(16), r.u32(20));
            objects_[r.u32(8)] = m;
            return true;
        }
        case 93: case 94: { // EMR_CREATEMONOBRUSH, EMR_CREATEDIBPATTERNBRUSHPT: shown as grey
            if (!r.has(8, 4))
                return false;
            MetaRecord m;
            m.type = EMR_CREATEBRUSHINDIRECT;
            m.brush = Brush{BS_SOLID, rgb(128, 128, 128), 0};
            objects_[r.u32(8)] = m;
            return true;
        }
        case 49: { // EMR_CREATEPALETTE: takes a slot, draws nothing
            if (!r.has(8, 4))
                return false;
            objects_[r.u32(8)] = MetaRecord{};
            return true;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            if (!r.has(8, 4 + 28 + 2))
                return false;
            MetaRecord m;
            m.type = EMR_EXTCREATEFONTINDIRECTW;
            LogFont &f = m.font;
            f.height = r.i32(12);
            f.width = r.i32(16);
            f.escapement = r.i32(20);
            f.orientation = r.i32(24);
            f.weight = r.i32(28);
            readFontBytes(r, 32, f);
            QString face;
            for (int i = 0; i < 32 && r.has(40 + 2 * i, 2); ++i) {
                const ushort c = static_cast<ushort>(r.u16(40 + 2 * i));
                if (!c)
                    break;
                face += QChar(c);
            }
            f.faceName = face;
            objects_[r.u32(8)] = m;
            return true;
        }
        case EMR_SELECTOBJECT: {
            if (!r.has(8, 4))
                return false;
            const std::uint32_t h = r.u32(8);
            if (h & kStock) {
                const std::uint32_t s = h & 0x7FFFFFFF;
                if (s <= 5 || s == 18)
                    selectBrush(stockBrush(s));
                else if (s <= 8 || s == 19)
                    selectPen(stockPen(s));
                else if (s >= 10 && s <= 17) {
                    MetaRecord m;
                    m.type = EMR_EXTCREATEFONTINDIRECTW;
                    push(std::move(m));
                }
                return true;
            }
            const auto it = objects_.find(h);
            if (it != objects_.end() && it->second.type != 0) {
                if (it->second.type == EMR_CREATEPEN)
                    pen_ = it->second.pen;
                if (it->second.type == EMR_CREATEBRUSHINDIRECT)
                    brush_ = it->second.brush;
                push(it->second);
            }
            return true;
        }
        case EMR_DELETEOBJECT:
            if (!r.has(8, 4))
                return false;
            objects_.erase(r.u32(8));
            return true;
        case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYGON16: case EMR_POLYLINE16:
        case 2: case 85: case 6: case 89: case 5: case 88: {
            // Polygons, polylines, Bezier curves, and the runs from the pen position.
            if (!r.has(24, 4))
                return false;
            const bool small = type == EMR_POLYGON16 || type == EMR_POLYLINE16 || type == 85 || type == 89 || type == 88;
            std::vector<QPoint> pts;
            if (!readPoints(r, 28, r.u32(24), small, pts))
                return false;
            if (pts.empty())
                return true;
            const bool bezier = type == 2 || type == 85 || type == 5 || type == 88;
            const bool fromCurrent = type == 6 || type == 89 || type == 5 || type == 88;
            if (bezier) {
                const QPoint start = fromCurrent ? current_ : pts.front();
                if (!fromCurrent)
                    pts.erase(pts.begin());
                pts = flattenBezier(start, pts);
                if (fromCurrent && !pts.empty())
                    pts.erase(pts.begin());
            }
            if (fromCurrent) {
                std::vector<QPoint> run;
                if (!inPath_)
                    run.push_back(current_);
                run.insert(run.end(), pts.begin(), pts.end());
                // A curve run of fewer than three points draws nothing, in a path too.
                if (run.empty())
                    return true;
                current_ = run.back();
                figure(run, 0);
                return true;
            }
            if (inPath_) {
                path_.push_back(pts);
                if (type == EMR_POLYGON || type == EMR_POLYGON16)
                    closed_.insert(static_cast<int>(path_.size()) - 1);
                return true;
            }
            MetaRecord m;
            m.type = (type == EMR_POLYGON || type == EMR_POLYGON16) ? EMR_POLYGON : EMR_POLYLINE;
            m.points = std::move(pts);
            push(std::move(m));
            return true;
        }
        case EMR_POLYPOLYGON: case EMR_POLYPOLYGON16: case 7: case 90: { // and poly-polylines
            if (!r.has(24, 8))
                return false;
            const std::uint32_t n = r.u32(24), total = r.u32(28);
            if (n > 1'000'000 || !r.has(32, static_cast<qsizetype>(n) * 4))
                return false;
            std::vector<int> counts;
            std::uint64_t sum = 0;
            for (std::uint32_t i = 0; i < n; ++i) {
                counts.push_back(static_cast<int>(r.u32(32 + 4 * static_cast<qsizetype>(i))));
                sum += r.u32(32 + 4 * static_cast<qsizetype>(i));
            }
            if (sum != total)
                return false;
            const bool small = type == EMR_POLYPOLYGON16 || type == 90;
            std::vector<QPoint> pts;
            if (!readPoints(r, 32 + static_cast<qsizetype>(n) * 4, total, small, pts))
                return false;
            if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) {
                MetaRecord m;
                m.type = EMR_POLYPOLYGON;
                m.points = std::move(pts);
                m.counts = std::move(counts);
                push(std::move(m));
            } else {
                size_t at = 0;
                for (int c : counts) {
                    MetaRecord m;
                    m.type = EMR_POLYLINE;
                    m.points.assign(pts.begin() + static_cast<long>(at), pts.begin() + static_cast<long>(at + c));
                    at += static_cast<size_t>(c);
                    push(std::move(m));
                }
            }
            return true;
        }
        case 59: // EMR_BEGINPATH
            inPath_ = true;
            path_.clear();
            closed_.clear();
            return true;
        case 60: // EMR_ENDPATH
            inPath_ = false;
            return true;
        case 61: // EMR_CLOSEFIGURE
            if (!path_.empty() && !path_.back().empty()) {
                closed_.insert(static_cast<int>(path_.size()) - 1);
                current_ = path_.back().front();
            }
            return true;
        case 62: drawPath(true, false); return true;  // EMR_FILLPATH
        case 63: drawPath(true, true); return true;   // EMR_STROKEANDFILLPATH
        case 64: drawPath(false, true); return true;  // EMR_STROKEPATH
        case 68: path_.clear(); return true;          // EMR_ABORTPATH
        case EMR_EXTSELECTCLIPRGN: {
            if (!r.has(8, 8))
                return false;
            const std::uint32_t cb = r.u32(8);
            MetaRecord m;
            m.type = EMR_EXTSELECTCLIPRGN;
            m.value = r.u32(12);
            if (cb == 0) {
                m.nullRegion = true;
            } else {
                if (!r.has(16, 32))
                    return false;
                const std::uint32_t n = r.u32(24);
                if (n > 1'000'000 || !r.has(48, static_cast<qsizetype>(n) * 16))
                    return false;
                for (std::uint32_t i = 0; i < n; ++i) {
                    const qsizetype o = 48 + 16 * static_cast<qsizetype>(i);
                    const QRect q(QPoint(r.i32(o), r.i32(o + 4)),
                                  QPoint(clampedInt(r.i32(o + 8) - 1.0), clampedInt(r.i32(o + 12) - 1.0)));
                    if (q.isValid())
                        m.region += q;
                }
            }
            push(std::move(m));
            return true;
        }
        case EMR_EXTTEXTOUTW: case EMR_EXTTEXTOUTA: {
            if (!r.has(36, 40))
                return false;
            MetaRecord m;
            m.type = EMR_EXTTEXTOUTW;
            m.bounds = Rect{r.i32(8), r.i32(12), clampedInt(r.i32(16) + 1.0), clampedInt(r.i32(20) + 1.0)};
            m.point = QPoint(r.i32(36), r.i32(40));
            const std::uint32_t n = r.u32(44);
            const qsizetype at = r.u32(48);
            const qsizetype bytes = static_cast<qsizetype>(n) * (type == EMR_EXTTEXTOUTW ? 2 : 1);
            if (n > 1'000'000 || !r.has(at, bytes))
                return false;
            if (type == EMR_EXTTEXTOUTW) {
                QString s;
                s.reserve(static_cast<qsizetype>(n));
                for (std::uint32_t i = 0; i < n; ++i)
                    s += QChar(static_cast<ushort>(r.u16(at + 2 * static_cast<qsizetype>(i))));
                m.text = s;
            } else {
                m.text = platform::fromCp1251(r.bytes(at, bytes));
            }
            const qsizetype dx = r.u32(72);
            if (dx > 0 && r.has(dx, static_cast<qsizetype>(n) * 4))
                for (std::uint32_t i = 0; i < n; ++i)
                    m.counts.push_back(r.i32(dx + 4 * static_cast<qsizetype>(i)));
            push(std::move(m));
            return true;
        }
        case EMR_STRETCHDIBITS:
            if (!r.has(8, 72))
                return false;
            return bitmapRecord(r, r.i32(24), r.i32(28), r.i32(72), r.i32(76), r.i32(32), r.i32(36), r.i32(40),
                                r.i32(44), r.u32(48), r.u32(52), r.u32(56), r.u32(60), r.u32(64), r.u32(68));
        case EMR_BITBLT: {
            if (!r.has(8, 92))
                return false;
            const int cx = r.i32(32), cy = r.i32(36);
            return bitmapRecord(r, r.i32(24), r.i32(28), cx, cy, r.i32(44), r.i32(48), cx, cy, r.u32(84),
                                r.u32(88), r.u32(92), r.u32(96), r.u32(80), r.u32(40));
        }
        case EMR_STRETCHBLT:
            if (!r.has(8, 100))
                return false;
            return bitmapRecord(r, r.i32(24), r.i32(28), r.i32(32), r.i32(36), r.i32(44), r.i32(48), r.i32(100),
                                r.i32(104), r.u32(84), r.u32(88), r.u32(92), r.u32(96), r.u32(80), r.u32(40));
        default:
            return true; // records without an effect here (comments, palettes, ...)
        }
    }

    const QByteArray &d_;
    QString *error_;
    RecordList *out_ = nullptr;
    std::map<std::uint32_t, MetaRecord> objects_;
    Pen pen_;
    Brush brush_;
    QPoint current_;
    bool inPath_ = false;
    std::vector<std::vector<QPoint>> path_;
    std::set<int> closed_;
};

} // namespace

QByteArray Metafile::toEmf() const
{
    return EmfWriter(*this).write();
}

std::optional<Metafile> readWmf(const QByteArray &bytes, QString *error);

std::optional<Metafile> Metafile::fromBytes(const QByteArray &bytes, QString *error)
{
    const Reader r(bytes, 0, bytes.size());
    if (bytes.size() >= 88 && r.u32(0) == EMR_HEADER && r.u32(40) == kEmfSignature)
        return EmfReader(bytes, error).read();
    return readWmf(bytes, error);
}

} // namespace platform::gdi
