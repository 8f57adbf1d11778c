// Drawing a ".bmp" file into a canvas band by band, so that a large picture
// never has to be held whole.

#include "mapdata/VykFunctions.h"

#include "mapdata/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/CodecSupport.h"
#include "platform/gdi/RasterOps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace VykFunctions {

namespace {

constexpr qint64 kFileHeader = 14;

int nint(double v)
{
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -2147483648.0, 2147483647.0)));
}

} // namespace

bool DrawBmpFile(const QString &FileName, platform::gdi::Canvas &DC, int DestX, int DestY, int DestWidth,
                 int DestHeight, int SrcX, int SrcY, int SrcWidth, int SrcHeight, int RasterMode, double Gamma)
{
    using namespace platform::gdi;
    if (SrcWidth <= 0 || SrcHeight <= 0 || DestWidth == 0 || DestHeight == 0)
        return false;
    const QString path = platform::findExistingPath(FileName);
    mapdata::BinaryFile file;
    if (path.isEmpty() || !file.open(path))
        return false;
    const qint64 fileSize = file.size();

    // File header: "BM", the file size, the offset of the bits.
    const QByteArray head = file.readBytes(0, kFileHeader + 124 + 4 * 256 + 12);
    const codec::Reader r(head, 0, head.size());
    if (head.size() < kFileHeader + 12 || head[0] != 'B' || head[1] != 'M')
        return false;
    const std::uint32_t declaredSize = r.u32(2);
    const std::uint32_t offBits = r.u32(10);
    if (declaredSize == 0 || offBits == 0 || offBits >= fileSize)
        return false;

    // Bitmap header with its colour table.
    const qsizetype headerSize = codec::dibHeaderSize(r, kFileHeader, head.size() - kFileHeader);
    if (headerSize <= 0 || kFileHeader + headerSize > head.size())
        return false;
    QByteArray header = head.mid(kFileHeader, headerSize);
    const bool core = r.u32(kFileHeader) == 12;
    const int width = core ? static_cast<int>(r.u16(kFileHeader + 4)) : r.i32(kFileHeader + 4);
    const int rawHeight = core ? static_cast<int>(r.u16(kFileHeader + 6)) : r.i32(kFileHeader + 8);
    const int bpp = static_cast<int>(core ? r.u16(kFileHeader + 10) : r.u16(kFileHeader + 14));
    const std::uint32_t compression = core ? 0 : r.u32(kFileHeader + 16);
    if (compression == 1 || compression == 2)
        return false; // run-length compressed bitmaps are not drawn
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);
    if (width <= 0 || width > 32768 || height <= 0 || rawHeight == INT32_MIN)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    const qint64 stride = ((static_cast<qint64>(width) * bpp + 31) / 32) * 4;

    // The rows the source window needs, all of which must be in the file.
    const int first = std::max(SrcY, 0);
    const int last = static_cast<int>(std::min<qint64>(static_cast<qint64>(SrcY) + SrcHeight, height)); // past the end
    if (first >= last)
        return false;
    auto rowOffset = [&](int row) { // the file offset of a row counted from the top
        return static_cast<qint64>(offBits) + (topDown ? row : height - 1 - row) * stride;
    };
    if (rowOffset(first) + stride > fileSize || rowOffset(last - 1) + stride > fileSize)
        return false;

    const std::array<std::uint8_t, 256> gamma = gammaTable(Gamma);
    const std::uint32_t rop = rop3FromRasterIndex(RasterMode);
    DC.setStretchBltMode(COLORONCOLOR);

    const int rows = last - first;
    const int band = std::max(1, nint(std::sqrt(static_cast<double>(rows))));
    auto destRow = [&](int row) { // destination y of the top edge of a source row
        return DestY + nint(static_cast<double>(DestHeight) * (row - SrcY) / SrcHeight);
    };
    const int bands = (rows + band - 1) / band;
    for (int k = 0; k < bands; ++k) {
        // A mirrored picture is drawn from its bottom band up.
        const int b = DestHeight > 0 ? k : bands - 1 - k;
        const int r0 = first + b * band;
        const int r1 = std::min(r0 + band, last);
        const int n = r1 - r0;
        // The band's rows lie together in the file, in the file's row order.
        const qint64 at = topDown ? rowOffset(r0) : rowOffset(r1 - 1);
        const QByteArray bits = file.readBytes(at, n * stride);
        if (bits.size() < n * stride)
            return false;
        if (core) {
            platform::le::put16(header, 6, static_cast<std::uint16_t>(n));
        } else {
            const std::int32_t h = topDown ? -n : n;
            platform::le::put32(header, 8, static_cast<std::uint32_t>(h));
        }
        std::optional<QImage> decoded = codec::decodeDib(header, bits);
        if (!decoded)
            return false;
        QImage image = decoded->convertToFormat(QImage::Format_RGB32);
        if (Gamma != 0) {
            for (int y = 0; y < image.height(); ++y) {
                QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = line[x];
                    line[x] = qRgb(gamma[qRed(p)], gamma[qGreen(p)], gamma[qBlue(p)]);
                }
            }
        }
        const int y0 = destRow(r0), y1 = destRow(r1);
        if (y1 != y0)
            DC.stretchDIBits(DestX, y0, DestWidth, y1 - y0, image, QRect(SrcX, 0, SrcWidth, n), rop);
    }
    return true;
}

} // namespace VykFunctions
