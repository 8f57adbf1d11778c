// Windows and reduced pictures of TIFF pages through the imaging library:
// only what is kept is decoded (of a reduced picture, only the part the
// caller needs), and each pixel is the one nearest-neighbour reduction
// takes (files built byte by byte).

#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"
#include "platform/imaging/TiffWindow.h"

#include "support/TestFiles.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace img = platform::imaging;

namespace {

int shade(int x, int y)
{
    return (x * 7 + y * 13) % 256;
}

} // namespace

TEST(TiffWindow, WindowsAndReductionsOfStripPages)
{
    testsupport::TempFolder dir;
    tifftest::Picture p;
    p.width = 40;
    p.height = 30;
    p.rowsPerStrip = 4; // the last strip holds 2 rows
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            p.pixels.append(char(shade(x, y)));
    // Grey pages read raw; palette pages through libtiff's colour conversion.
    tifftest::Picture palette = p;
    palette.photometric = 3;
    for (int i = 0; i < 256; ++i)
        palette.colorMap.push_back(std::uint32_t(i) * 257);
    for (int i = 0; i < 256; ++i)
        palette.colorMap.push_back(std::uint32_t(255 - i) * 257);
    for (int i = 0; i < 256; ++i)
        palette.colorMap.push_back(0);
    // Strips decoded only down to the last row taken, also with differencing.
    tifftest::Picture differenced = p;
    differenced.predictor = 2;
    const struct {
        tifftest::Picture picture;
        std::uint16_t compression;
    } kinds[] = {{p, 1}, {p, 5}, {p, 32773}, {differenced, 5}, {palette, 5}};
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.compression);
        const bool isPalette = kind.picture.photometric == 3;
        SCOPED_TRACE(isPalette);
        tifftest::Picture picture = kind.picture;
        picture.compression = kind.compression;
        const QString file = dir.write(QStringLiteral("g.tif"), tifftest::file(picture));
        const struct {
            QRect window;
            QSize size;
        } cases[] = {
            {{0, 0, 40, 30}, {40, 30}},
            {{5, 7, 10, 23}, {10, 23}},  // down to the short last strip
            {{0, 0, 40, 30}, {8, 6}},    // reduced by 5
            {{10, 10, 20, 20}, {60, 40}}, // enlarged
        };
        for (const auto &c : cases) {
            QImage out;
            ASSERT_EQ(img::readTiffWindow(file, 0, c.window, c.size, out), img::SUCCESS);
            ASSERT_EQ(out.size(), c.size);
            for (int y = 0; y < c.size.height(); ++y)
                for (int x = 0; x < c.size.width(); ++x) {
                    const int sx = c.window.left() + (2 * x + 1) * c.window.width() / (2 * c.size.width());
                    const int sy = c.window.top() + (2 * y + 1) * c.window.height() / (2 * c.size.height());
                    const int v = shade(sx, sy);
                    ASSERT_EQ(out.pixel(x, y), isPalette ? qRgb(v, 255 - v, 0) : qRgb(v, v, v)) << x << "," << y;
                }
        }
        // Only a part needed: its pixels are the whole picture's, the rest black.
        QImage whole, part;
        const QRect needed(3, 2, 10, 7);
        ASSERT_EQ(img::readTiffWindow(file, 0, QRect(0, 0, 40, 30), QSize(20, 15), whole), img::SUCCESS);
        ASSERT_EQ(img::readTiffWindow(file, 0, QRect(0, 0, 40, 30), QSize(20, 15), part, needed), img::SUCCESS);
        ASSERT_EQ(part.size(), QSize(20, 15));
        EXPECT_EQ(part.copy(needed), whole.copy(needed));
        for (const QPoint outside : {QPoint(2, 2), QPoint(13, 2), QPoint(3, 1), QPoint(12, 9), QPoint(19, 14)})
            EXPECT_EQ(part.pixel(outside), qRgb(0, 0, 0)) << outside.x() << "," << outside.y();
        QImage out;
        EXPECT_EQ(img::readTiffWindow(file, 0, QRect(35, 0, 10, 10), QSize(10, 10), out), img::ERROR_INV_RANGE);
        EXPECT_EQ(img::readTiffWindow(file, 1, QRect(0, 0, 10, 10), QSize(10, 10), out), img::ERROR_INV_PARAMETER);
    }

    // Through the library: a reduced load and a window past the page.
    const QString file = dir.write(QStringLiteral("g.tif"), tifftest::file(p));
    img::Bitmap small;
    ASSERT_EQ(img::ImagingLibrary().loadResize(file, 8, 6, 0, small, {}), img::SUCCESS);
    EXPECT_EQ(qGray(small.pixels.pixel(1, 1)), shade(7, 7));
    QImage tile;
    ASSERT_EQ(img::ImagingLibrary().loadFile(file, {0, 0, -1, QRect(30, 25, 20, 10)},
                                             [&](const img::Bitmap &b, int, int, unsigned) {
                                                 tile = b.pixels;
                                                 return int(img::SUCCESS);
                                             }),
              img::SUCCESS);
    ASSERT_EQ(tile.size(), QSize(20, 10));
    EXPECT_EQ(qGray(tile.pixel(9, 4)), shade(39, 29));
    EXPECT_EQ(tile.pixel(10, 5) & 0xFFFFFF, 0u);

    // A reduced load of which only a part is needed reads the strips under
    // that part only: strips below it that cannot be decoded cost nothing.
    {
        tifftest::Picture lzw = p;
        lzw.compression = 5;
        tifftest::Page damaged = tifftest::page(lzw);
        for (size_t k = 4; k < damaged.strips.size(); ++k)
            damaged.strips[k] = QByteArray(4, '\xFF');
        const QString file = dir.write(QStringLiteral("damaged.tif"), tifftest::build({damaged}));
        img::Bitmap whole, part;
        EXPECT_NE(img::ImagingLibrary().loadResize(file, 20, 15, 0, whole, {}), img::SUCCESS);
        ASSERT_EQ(img::ImagingLibrary().loadResize(file, 20, 15, 0, part, {}, QRect(4, 1, 12, 6)), img::SUCCESS);
        ASSERT_EQ(part.pixels.size(), QSize(20, 15));
        // Rows 1 to 6 show rows 3 to 13 of the page, which the first four strips hold.
        for (int y = 1; y < 7; ++y)
            for (int x = 4; x < 16; ++x)
                ASSERT_EQ(qGray(part.pixels.pixel(x, y)), shade(2 * x + 1, 2 * y + 1)) << x << "," << y;
        EXPECT_EQ(part.pixels.pixel(4, 7), qRgb(0, 0, 0));
    }

    // A strip table that claims more than the file holds.
    QByteArray broken = tifftest::file(p);
    broken.truncate(broken.size() / 3);
    const QString bad = dir.write(QStringLiteral("bad.tif"), broken);
    QImage none;
    EXPECT_NE(img::readTiffWindow(bad, 0, QRect(0, 0, 40, 30), QSize(40, 30), none), img::SUCCESS);

    // Rows of 393,225 pixels of 700 grey samples each (found by the fuzz
    // target, with more samples): libtiff would hold over 256 MB a strip
    // before converting it; the window is refused instead. Strips past the file's end are
    // refused by their read.
    const struct {
        const char *what;
        std::vector<tifftest::Entry> entries;
        int code;
    } hostile[] = {
        {"samples", {{256, 4, {393225}}, {257, 4, {6}}, {258, 3, {8}}, {259, 3, {1}}, {262, 3, {1}}, {277, 3, {700}}},
         img::ERROR_NO_MEMORY},
        {"strips past the end",
         {{256, 4, {100000}}, {257, 4, {100000}}, {258, 3, {8}}, {259, 3, {1}}, {262, 3, {1}}, {278, 4, {1}}},
         img::ERROR_FILE_READ},
    };
    for (const auto &h : hostile) {
        SCOPED_TRACE(h.what);
        tifftest::Page page;
        page.entries = h.entries;
        page.strips = {QByteArray(16, '\x40')};
        const QString file = dir.write(QStringLiteral("hostile.tif"), tifftest::build({page}));
        QImage out;
        EXPECT_EQ(img::readTiffWindow(file, 0, QRect(0, 0, 32, 6), QSize(32, 6), out), h.code);
    }
}

TEST(TiffWindow, TiledPagesKeepTheirTilesInPlace)
{
    // 20 x 20 grey pixels in four 16 x 16 tiles (the right and bottom ones
    // padded), uncompressed: the tiles at 8, 264, 520 and 776, the
    // directory at 1032 with its two arrays after it.
    QByteArray f("II*\0\x08\x04\0\0", 8);
    for (int ty = 0; ty < 2; ++ty)
        for (int tx = 0; tx < 2; ++tx)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    f.append(char(shade(tx * 16 + x, ty * 16 + y)));
    auto put16 = [&](int v) { f.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f.append(char((v >> (8 * i)) & 0xFF));
    };
    auto entry = [&](int tag, int type, std::uint32_t count, std::uint32_t value) {
        put16(tag);
        put16(type);
        put32(count);
        if (type == 3 && count == 1) {
            put16(int(value));
            put16(0);
        } else {
            put32(value);
        }
    };
    const std::uint32_t arrays = 1032 + 2 + 10 * 12 + 4;
    put16(10);
    entry(256, 3, 1, 20);
    entry(257, 3, 1, 20);
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 1);
    entry(277, 3, 1, 1);
    entry(322, 3, 1, 16);
    entry(323, 3, 1, 16);
    entry(324, 4, 4, arrays);
    entry(325, 4, 4, arrays + 16);
    put32(0);
    for (std::uint32_t o : {8u, 264u, 520u, 776u})
        put32(o);
    for (int i = 0; i < 4; ++i)
        put32(256);
    ASSERT_EQ(f.size(), qsizetype(arrays + 32));
    testsupport::TempFolder dir;
    const QString file = dir.write(QStringLiteral("tiled.tif"), f);

    for (const QRect &window : {QRect(0, 0, 20, 20), QRect(12, 14, 8, 6)}) {
        QImage out;
        ASSERT_EQ(img::readTiffWindow(file, 0, window, window.size(), out), img::SUCCESS);
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x)
                ASSERT_EQ(qGray(out.pixel(x, y)), shade(window.left() + x, window.top() + y)) << x << "," << y;
    }
    // A needed part within the right tiles: the pixels there, black beside.
    QImage part;
    ASSERT_EQ(img::readTiffWindow(file, 0, QRect(0, 0, 20, 20), QSize(20, 20), part, QRect(17, 3, 3, 15)),
              img::SUCCESS);
    for (int y = 3; y < 18; ++y)
        for (int x = 17; x < 20; ++x)
            ASSERT_EQ(qGray(part.pixel(x, y)), shade(x, y)) << x << "," << y;
    EXPECT_EQ(part.pixel(16, 3), qRgb(0, 0, 0));
    EXPECT_EQ(part.pixel(17, 18), qRgb(0, 0, 0));
}
