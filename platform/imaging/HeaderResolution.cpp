// The resolution a picture file's header states, read without decoding the
// picture: PNG "pHYs", JPEG "JFIF", BMP info header and the first TIFF
// directory. Every length and offset is checked against the file.

#include "platform/imaging/HeaderResolution.h"

#include "platform/ByteOrder.h"

#include <QIODevice>

#include <cmath>
#include <cstdint>

namespace platform::imaging {
namespace {

int perMetreToInch(double perMetre)
{
    return perMetre > 0 && perMetre < 1e9 ? static_cast<int>(std::lround(perMetre * 0.0254)) : 0;
}

QByteArray readAt(QIODevice &file, qint64 at, qint64 size)
{
    if (at < 0 || size <= 0 || at > file.size() - size || !file.seek(at))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

QSize png(QIODevice &file)
{
    // Chunks up to the first image data.
    qint64 at = 8;
    for (int n = 0; n < 64; ++n) {
        const QByteArray head = readAt(file, at, 8);
        if (head.isEmpty())
            return {};
        const auto *h = reinterpret_cast<const uchar *>(head.constData());
        const std::uint32_t length = be::u32(h);
        if (head.mid(4, 4) == "pHYs" && length == 9) {
            const QByteArray body = readAt(file, at + 8, 9);
            if (body.isEmpty())
                return {};
            const auto *b = reinterpret_cast<const uchar *>(body.constData());
            if (b[8] != 1) // no unit: an aspect ratio only
                return {};
            return {perMetreToInch(be::u32(b)), perMetreToInch(be::u32(b + 4))};
        }
        if (head.mid(4, 4) == "IDAT")
            return {};
        at += 12 + qint64(length);
    }
    return {};
}

QSize jpeg(QIODevice &file)
{
    qint64 at = 2;
    for (int n = 0; n < 32; ++n) {
        const QByteArray head = readAt(file, at, 4);
        if (head.isEmpty())
            return {};
        const auto *h = reinterpret_cast<const uchar *>(head.constData());
        if (h[0] != 0xFF || h[1] == 0xDA)
            return {};
        const std::uint16_t length = be::u16(h + 2);
        if (length < 2)
            return {};
        if (h[1] == 0xE0 && length >= 16) {
            const QByteArray body = readAt(file, at + 4, 12);
            if (body.isEmpty() || !body.startsWith(QByteArrayLiteral("JFIF\0")))
                return {};
            const auto *b = reinterpret_cast<const uchar *>(body.constData());
            const int unit = b[7], x = be::u16(b + 8), y = be::u16(b + 10);
            if (unit == 1)
                return {x, y};
            if (unit == 2)
                return {static_cast<int>(std::lround(x * 2.54)), static_cast<int>(std::lround(y * 2.54))};
            return {};
        }
        at += 2 + length;
    }
    return {};
}

QSize bmp(QIODevice &file)
{
    const QByteArray info = readAt(file, 14, 40);
    if (info.isEmpty())
        return {};
    const auto *b = reinterpret_cast<const uchar *>(info.constData());
    if (le::u32(b) < 40)
        return {};
    return {perMetreToInch(static_cast<std::int32_t>(le::u32(b + 24))),
            perMetreToInch(static_cast<std::int32_t>(le::u32(b + 28)))};
}

QSize tiff(QIODevice &file, bool little)
{
    auto u16 = [little](const uchar *p) { return little ? le::u16(p) : be::u16(p); };
    auto u32 = [little](const uchar *p) { return little ? le::u32(p) : be::u32(p); };
    const QByteArray head = readAt(file, 4, 4);
    if (head.isEmpty())
        return {};
    const qint64 ifd = u32(reinterpret_cast<const uchar *>(head.constData()));
    const QByteArray countBytes = readAt(file, ifd, 2);
    if (countBytes.isEmpty())
        return {};
    const int count = u16(reinterpret_cast<const uchar *>(countBytes.constData()));
    const QByteArray entries = readAt(file, ifd + 2, qint64(count) * 12);
    if (entries.isEmpty())
        return {};
    double x = 0, y = 0;
    int unit = 2;
    auto rational = [&](const uchar *e) {
        // RATIONAL, one value, stored at an offset.
        if (u16(e + 2) != 5 || u32(e + 4) != 1)
            return 0.0;
        const QByteArray v = readAt(file, u32(e + 8), 8);
        if (v.isEmpty())
            return 0.0;
        const auto *p = reinterpret_cast<const uchar *>(v.constData());
        const std::uint32_t den = u32(p + 4);
        return den ? double(u32(p)) / den : 0.0;
    };
    for (int i = 0; i < count; ++i) {
        const auto *e = reinterpret_cast<const uchar *>(entries.constData()) + i * 12;
        switch (u16(e)) {
        case 282: x = rational(e); break;
        case 283: y = rational(e); break;
        case 296:
            if (u16(e + 2) == 3)
                unit = u16(e + 8);
            break;
        default: break;
        }
    }
    const double scale = unit == 2 ? 1.0 : unit == 3 ? 2.54 : 0.0;
    auto dpi = [scale](double v) { return v > 0 && v < 1e7 ? static_cast<int>(std::lround(v * scale)) : 0; };
    return {dpi(x), dpi(y)};
}

} // namespace

QSize headerResolution(QIODevice &file)
{
    const QByteArray magic = readAt(file, 0, 8);
    if (magic.isEmpty())
        return {0, 0};
    QSize r;
    if (magic.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
        r = png(file);
    else if (magic.startsWith("\xFF\xD8"))
        r = jpeg(file);
    else if (magic.startsWith("BM"))
        r = bmp(file);
    else if (magic.startsWith(QByteArrayLiteral("II*\0")))
        r = tiff(file, true);
    else if (magic.startsWith(QByteArrayLiteral("MM\0*")))
        r = tiff(file, false);
    if (r.width() <= 0 || r.height() <= 0)
        return {0, 0};
    return r;
}

} // namespace platform::imaging
