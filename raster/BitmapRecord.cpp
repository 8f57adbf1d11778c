// The bitmap record of drag and drop.

#include "raster/BitmapRecord.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace raster {

namespace img = platform::imaging;

namespace {

constexpr char Signature[] = "TVBITMAP";
constexpr int HeaderSize = 44;
// A dropped picture larger than this is refused rather than allocated.
constexpr qint64 MaxPixels = qint64(1) << 28;

QImage::Format formatOf(int bits)
{
    switch (bits) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 24: return QImage::Format_RGB888;
    case 32: return QImage::Format_ARGB32;
    default: return QImage::Format_Invalid;
    }
}

int colours(int bits)
{
    return bits == 1 ? 2 : bits == 8 ? 256 : 0;
}

} // namespace

QByteArray encodeBitmapRecord(const img::Bitmap &bitmap)
{
    int bits = bitmap.bitsPerPixel;
    if (bits != 1 && bits != 8 && bits != 24)
        bits = 32;
    const QImage image = bitmap.pixels.convertToFormat(formatOf(bits));
    const int rowBytes = (image.width() * bits + 7) / 8;
    QByteArray out(HeaderSize, '\0');
    out.replace(0, 8, QByteArray(Signature, 8));
    const qint32 values[] = {HeaderSize, image.width(), image.height(), bits, rowBytes,
                             static_cast<qint32>(bitmap.flags), bitmap.viewPerspective, bitmap.xResolution,
                             bitmap.yResolution};
    for (int i = 0; i < 9; ++i)
        qToLittleEndian<qint32>(values[i], out.data() + 8 + 4 * i);
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < colours(bits); ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        const char entry[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
        out.append(entry, 4);
    }
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char *>(image.constScanLine(y)), rowBytes);
    return out;
}

bool decodeBitmapRecord(const QByteArray &bytes, img::Bitmap &out)
{
    if (bytes.size() < HeaderSize || !bytes.startsWith(QByteArrayView(Signature, 8)))
        return false;
    auto at = [&](int offset) { return qFromLittleEndian<qint32>(bytes.constData() + offset); };
    const qint64 header = at(8), width = at(12), height = at(16), bits = at(20), rowBytes = at(24);
    const QImage::Format format = formatOf(static_cast<int>(bits));
    if (header < HeaderSize || header > bytes.size() || width <= 0 || height <= 0 || format == QImage::Format_Invalid
        || width * height > MaxPixels || rowBytes < (width * bits + 7) / 8 || rowBytes > width * 4 + 4)
        return false;
    const qint64 table = qint64(colours(static_cast<int>(bits))) * 4;
    // Every row must be there: the record's own sizes never reach past it.
    if (header + table + rowBytes * height > bytes.size())
        return false;
    QImage image(static_cast<int>(width), static_cast<int>(height), format);
    if (image.isNull())
        return false;
    const char *p = bytes.constData() + header;
    if (table > 0) {
        QList<QRgb> colourTable;
        for (int i = 0; i < table / 4; ++i, p += 4)
            colourTable << qRgb(static_cast<uchar>(p[2]), static_cast<uchar>(p[1]), static_cast<uchar>(p[0]));
        image.setColorTable(colourTable);
    }
    const qint64 copy = (width * bits + 7) / 8;
    for (int y = 0; y < height; ++y, p += rowBytes)
        std::memcpy(image.scanLine(y), p, static_cast<size_t>(copy));
    img::Bitmap b = img::Bitmap::fromImage(image, static_cast<int>(bits));
    b.flags = static_cast<std::uint32_t>(at(28)) | img::BITMAP_ALLOCATED;
    const int perspective = at(32);
    b.viewPerspective = perspective >= 1 && perspective <= 8 ? perspective : 1;
    b.xResolution = std::max(0, at(36));
    b.yResolution = std::max(0, at(40));
    out = b;
    return true;
}

int dropEffectAnswer(int wanted, int offered)
{
    if ((offered & ~wanted) == 0)
        return wanted;
    if (wanted != 1)
        return 0;
    if (offered & 2)
        return 2;
    if (offered & 4)
        return 4;
    return 0;
}

} // namespace raster
