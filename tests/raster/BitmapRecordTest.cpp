// The control's drag-and-drop record: a whole record reads back to its
// picture, and a record whose sizes reach past its bytes is refused.

#include "raster/BitmapRecord.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace raster;
namespace img = platform::imaging;
using testsupport::putLE32;

namespace {

// A record header built byte by byte: +8 header size, +12 width, +16 height,
// +20 bits, +24 bytes per row, +28 flags, +32 view perspective, +36/+40 dpi.
QByteArray header(int width, int height, int bits, int rowBytes, int headerSize = 44)
{
    QByteArray b("TVBITMAP", 8);
    b.append(QByteArray(36, '\0'));
    putLE32(b, 8, headerSize);
    putLE32(b, 12, width);
    putLE32(b, 16, height);
    putLE32(b, 20, bits);
    putLE32(b, 24, rowBytes);
    putLE32(b, 28, 1);
    putLE32(b, 32, 1);
    putLE32(b, 36, 300);
    putLE32(b, 40, 300);
    return b;
}

} // namespace

TEST(BitmapRecord, WholeRecordsReadBack)
{
    // 3 x 2, 8 bits: a table of 256 entries (B G R 0), rows padded to 4.
    QByteArray rec = header(3, 2, 8, 4);
    QByteArray table(1024, '\0');
    table[4 * 1 + 2] = char(0xFF);     // entry 1 red
    table[4 * 2 + 0] = char(0xFF);     // entry 2 blue
    rec += table;
    rec += QByteArray("\x01\x02\x00\x00\x02\x01\x01\x00", 8);
    img::Bitmap b;
    ASSERT_TRUE(decodeBitmapRecord(rec, b));
    EXPECT_EQ(b.pixels.size(), QSize(3, 2));
    EXPECT_EQ(b.bitsPerPixel, 8);
    EXPECT_EQ(b.xResolution, 300);
    EXPECT_EQ(b.pixels.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixels.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(b.pixels.pixel(1, 1), qRgb(255, 0, 0));

    QImage colours(5, 3, QImage::Format_RGB32);
    colours.fill(qRgb(1, 2, 3));
    colours.setPixel(4, 2, qRgb(200, 100, 50));
    img::Bitmap again;
    ASSERT_TRUE(decodeBitmapRecord(encodeBitmapRecord(img::Bitmap::fromImage(colours)), again));
    EXPECT_EQ(again.pixels.convertToFormat(QImage::Format_RGB32), colours);
}

TEST(BitmapRecord, SizesPastTheBytesAreRefused)
{
    const QByteArray rows(16, '\x7F');
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"one byte short", header(2, 2, 32, 8) + rows.left(15)},
        {"rows claimed beyond", header(2, 2000, 32, 8) + rows},
        {"width times height overflowing", header(0x10000, 0x10000, 32, 0x40000) + rows},
        {"negative height", header(2, -2, 32, 8) + rows},
        {"row shorter than its pixels", header(4, 2, 32, 8) + rows},
        {"bits of no format", header(2, 2, 7, 8) + rows},
        {"header size past the end", header(2, 2, 32, 8, 1 << 30) + rows},
        {"header size inside the header", header(2, 2, 32, 8, 8) + rows},
        {"8 bits without the colour table", header(2, 2, 8, 4) + rows.left(8)},
        {"another signature", QByteArray("FILENAME") + header(2, 2, 32, 8).mid(8) + rows},
        {"nothing", QByteArray()},
    };
    for (const auto &c : cases) {
        img::Bitmap b;
        EXPECT_FALSE(decodeBitmapRecord(c.bytes, b)) << c.what;
        EXPECT_TRUE(b.pixels.isNull()) << c.what;
    }
    img::Bitmap whole;
    EXPECT_TRUE(decodeBitmapRecord(header(2, 2, 32, 8) + rows, whole));
}
