// The extent of a BMP file's pixel data against the file's size.

#include "platform/imaging/BmpData.h"

#include "platform/ByteOrder.h"

#include <QIODevice>

#include <cstdint>
#include <cstdlib>

namespace platform::imaging {

namespace {

using platform::le::u16;
using platform::le::u32;

} // namespace

bool bmpDataHeld(QIODevice &file)
{
    if (!file.seek(0))
        return true;
    // The file header (14 bytes) and the bitmap header's first 24.
    const QByteArray head = file.read(14 + 24);
    if (head.size() < 14 + 16 || !head.startsWith("BM"))
        return true;
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    const qint64 offset = u32(b + 10);
    const std::uint32_t infoSize = u32(b + 14);
    std::int64_t width = 0, height = 0;
    int bits = 0;
    std::uint32_t compression = 0, imageSize = 0;
    if (infoSize == 12) {
        width = u16(b + 18);
        height = u16(b + 20);
        bits = u16(b + 24);
    } else if (infoSize >= 40 && head.size() >= 14 + 24) {
        width = static_cast<std::int32_t>(u32(b + 18));
        height = std::llabs(static_cast<std::int32_t>(u32(b + 22)));
        bits = u16(b + 28);
        compression = u32(b + 30);
        if (file.seek(14 + 20)) {
            const QByteArray size = file.read(4);
            if (size.size() == 4)
                imageSize = u32(reinterpret_cast<const uchar *>(size.constData()));
        }
    } else {
        return true;
    }
    if (width <= 0 || height <= 0 || bits <= 0)
        return true;
    // Uncompressed rows (also with colour masks) are whole 32-bit words;
    // compressed data is at least its stated size and a byte.
    const std::int64_t held = file.size() - offset;
    if (held <= 0)
        return false;
    if (compression == 0 || compression == 3 || compression == 6)
        return (width * bits + 31) / 32 * 4 <= held / height;
    return imageSize <= held;
}

} // namespace platform::imaging
