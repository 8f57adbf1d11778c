// The TIFF reader's file and directory layer and the window of a page it
// decodes: which files it refuses and with what message, the colour tables,
// the bitmap's size, the gamma table.

#include "TiffBuilder.h"

#include "raster/TiffReader.h"

#include "support/GdalTools.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace raster;
using tifftest::Entry;
using tifftest::Page;
using tifftest::Picture;

namespace {

const QString kRead = QStringLiteral("Ошибка чтения файла.");
const QString kStructure = QStringLiteral("Ошибка структуры файла.");
const QString kFormat = QStringLiteral("Неподдерживаемый формат изображения.");

// The message the reading of a file and the decoding of its first page's
// window raises; empty when none.
QString errorOf(const QByteArray &file, std::int64_t width = 1, std::int64_t height = 1)
{
    TiffMemoryStream stream(file);
    TTIFFBitmap tiff;
    try {
        tiff.LoadFromStream(stream);
        tiff.GetPageRegion(1, 0, 0, width, height, static_cast<int>(height), 0);
    } catch (const TiffError &e) {
        return e.message();
    }
    return {};
}

std::optional<Dib> decode(const QByteArray &file, std::int64_t left, std::int64_t top, std::int64_t width,
                          std::int64_t height, int outputHeight, double gamma = 0)
{
    TiffMemoryStream stream(file);
    TTIFFBitmap tiff;
    tiff.LoadFromStream(stream);
    return tiff.GetPageRegion(1, left, top, width, height, outputHeight, gamma);
}

// The tags of a page without its strips.
std::vector<Entry> tags(std::uint16_t photometric, std::vector<std::uint32_t> bits, std::uint32_t width = 1,
                        std::uint32_t height = 1, std::uint16_t compression = 1)
{
    return {{256, 4, {width}}, {257, 4, {height}}, {258, 3, std::move(bits)}, {259, 3, {compression}},
            {262, 3, {photometric}}, {278, 4, {height}}};
}

Page pageOf(std::vector<Entry> entries, QByteArray strip = QByteArray(8, '\0'))
{
    return Page{std::move(entries), {std::move(strip)}};
}

std::vector<Entry> without(std::vector<Entry> entries, std::uint16_t tag)
{
    std::erase_if(entries, [&](const Entry &e) { return e.tag == tag; });
    return entries;
}

} // namespace

TEST(TiffReader, DamagedAndUnsupportedFilesAreRefusedWithTheirMessage)
{
    // A directory whose count promises 5 entries, of which the file holds 2.
    QByteArray cut("II*\0\x08\0\0\0\x05\0", 10);
    cut += QByteArray(24, '\x01');
    // The offset of the first directory past the file's end.
    const QByteArray farDirectory("II*\0\xff\xff\0\0", 8);
    // RGB sample sizes stored at an offset past the file's end.
    std::vector<Entry> farValues = tags(2, {8, 8, 8});
    farValues[2].offset = 100000;
    // A BitsPerSample count far beyond the file.
    std::vector<Entry> hugeCount = tags(2, {8, 8, 8});
    hugeCount[2].count = 1 << 30;
    // A palette of 16 colours for 8-bit indices.
    std::vector<Entry> shortPalette = tags(3, {8});
    shortPalette.push_back({320, 3, std::vector<std::uint32_t>(48, 0)});

    const struct {
        const char *what;
        QByteArray file;
        QString message;
    } cases[] = {
        {"truncated directory", cut, kRead},
        {"directory past the end", farDirectory, kRead},
        {"values past the end", tifftest::build({pageOf(farValues)}), kRead},
        {"count past the end", tifftest::build({pageOf(hugeCount)}), kRead},
        {"no photometric", tifftest::build({pageOf(without(tags(1, {8}), 262))}), kStructure},
        {"no compression", tifftest::build({pageOf(without(tags(1, {8}), 259))}), kStructure},
        {"RGB with two samples", tifftest::build({pageOf(tags(2, {8, 8}))}), kStructure},
        {"CMYK with three samples", tifftest::build({pageOf(tags(5, {8, 8, 8}))}), kStructure},
        {"palette without sample sizes", tifftest::build({pageOf(without(tags(3, {8}), 258))}), kStructure},
        {"RGB of 8, 8, 16 bits", tifftest::build({pageOf(tags(2, {8, 8, 16}))}), kFormat},
        {"RGB of 12 bits", tifftest::build({pageOf(tags(2, {12, 12, 12}))}), kFormat},
        {"grey of 2 bits", tifftest::build({pageOf(tags(1, {2}))}), kFormat},
        {"palette of 16 bits", tifftest::build({pageOf(tags(3, {16}))}), kFormat},
        {"palette of 16 colours for 8 bits", tifftest::build({pageOf(shortPalette)}), kStructure},
        {"YCbCr page", tifftest::build({pageOf(tags(6, {8, 8, 8}))}), kFormat},
    };
    for (const auto &c : cases)
        EXPECT_EQ(errorOf(c.file), c.message) << c.what;
}

TEST(TiffReader, FilesThatAreNoLittleEndianTiffHaveNoPagesAndNoMessage)
{
    const QByteArray bigEndian("MM\0*\0\0\0\x08\0\0\0\0\0\0", 14);
    const QByteArray other("GIF89a\0\0\0\0", 10);
    const QByteArray noDirectory("II*\0\x04\0\0\0", 8);   // an offset below 8 ends the chain
    for (const QByteArray &f : {bigEndian, other, QByteArray("II"), noDirectory}) {
        TiffMemoryStream stream(f);
        TTIFFBitmap tiff;
        EXPECT_NO_THROW(tiff.LoadFromStream(stream));
        EXPECT_EQ(tiff.PageCount(), 0);
        EXPECT_FALSE(tiff.GetPageRegion(1, 0, 0, 1, 1, 1, 0));
    }
}

TEST(TiffReader, ADirectoryChainThatTurnsBackEnds)
{
    const Page p = pageOf(tags(1, {8}));
    // Two pages, the second pointing back at the first; one pointing at itself.
    const QByteArray twoPages = tifftest::build({p, p});
    TiffMemoryStream first(twoPages);
    TTIFFBitmap tiff;
    tiff.LoadFromStream(first);
    ASSERT_EQ(tiff.PageCount(), 2);
    const std::uint32_t firstOffset = static_cast<std::uint32_t>(tiff.Page(0).Offset());

    QByteArray loop = tifftest::build({p, p}, firstOffset);
    TiffMemoryStream looping(loop);
    tiff.LoadFromStream(looping);
    EXPECT_EQ(tiff.PageCount(), 2);

    QByteArray self = tifftest::build({p});
    const std::uint32_t selfOffset = static_cast<std::uint32_t>(self[4] & 0xFF) | (self[5] & 0xFF) << 8;
    self = tifftest::build({p}, selfOffset);
    TiffMemoryStream selfStream(self);
    tiff.LoadFromStream(selfStream);
    EXPECT_EQ(tiff.PageCount(), 1);
}

TEST(TiffReader, TagValuesStoredInTheEntryAreAllRead)
{
    // Two strips of one 4-pixel row each, their places and sizes as two
    // SHORT values inside the entries (the strips lie at 8 and 12).
    Page p;
    p.entries = tags(1, {8}, 4, 2);
    p.entries[5].values = {1};
    p.entries.push_back({273, 3, {8, 12}});
    p.entries.push_back({279, 3, {4, 4}});
    p.strips = {QByteArray("\x01\x02\x03\x04", 4), QByteArray("\x05\x06\x07\x08", 4)};
    p.withStripTags = false;
    const QByteArray file = tifftest::build({p});

    TiffMemoryStream stream(file);
    TTIFFBitmap tiff;
    tiff.LoadFromStream(stream);
    std::vector<std::uint32_t> v;
    EXPECT_EQ(tiff.Page(0).GetTag(273, v), 2);
    EXPECT_EQ(v, (std::vector<std::uint32_t>{8, 12}));
    // Four BYTE values and a RATIONAL pair.
    Page q;
    q.entries = tags(1, {8});
    q.entries.push_back({300, 1, {1, 2, 3, 4}});
    q.entries.push_back({282, 5, {300, 1}});
    const QByteArray other = tifftest::build({q});
    TiffMemoryStream second(other);
    TTIFFBitmap t2;
    t2.LoadFromStream(second);
    EXPECT_EQ(t2.Page(0).GetTag(300, v), 4);
    EXPECT_EQ(v, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(t2.Page(0).GetTag(282, v), 1);
    EXPECT_EQ(v, (std::vector<std::uint32_t>{300, 1}));
    EXPECT_EQ(t2.Page(0).GetTag(999, v), 0);

    const std::optional<Dib> dib = decode(file, 0, 0, 4, 2, 2);
    ASSERT_TRUE(dib);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dib->row(1)), 4), QByteArray("\x05\x06\x07\x08", 4));
}

TEST(TiffReader, ColourTablesOfGreyAndPalettePages)
{
    auto colours = [](std::uint16_t photometric, std::vector<std::uint32_t> bits,
                      std::vector<std::uint32_t> colorMap = {}) {
        std::vector<Entry> e = tags(photometric, std::move(bits));
        if (!colorMap.empty())
            e.push_back({320, 3, std::move(colorMap)});
        const std::optional<Dib> dib = decode(tifftest::build({pageOf(e)}), 0, 0, 1, 1, 1);
        return dib ? dib->colors() : std::vector<std::uint32_t>{};
    };
    EXPECT_EQ(colours(1, {1}), (std::vector<std::uint32_t>{0x000000, 0xFFFFFF}));
    EXPECT_EQ(colours(0, {1}), (std::vector<std::uint32_t>{0xFFFFFF, 0x000000}));
    // BitsPerSample absent: 1 bit.
    EXPECT_EQ(colours(1, {}).size(), 2u);
    const std::vector<std::uint32_t> ramp = colours(1, {4});
    ASSERT_EQ(ramp.size(), 16u);
    EXPECT_EQ(ramp[1], 0x111111u);
    EXPECT_EQ(ramp[15], 0xFFFFFFu);
    EXPECT_EQ(colours(0, {4})[1], 0xEEEEEEu);
    // The high bytes of the ColorMap's red, green and blue thirds.
    std::vector<std::uint32_t> map(48, 0);
    map[1] = 0x12FF;        // red of 1
    map[16 + 1] = 0x3400;   // green of 1
    map[32 + 1] = 0x56AB;   // blue of 1
    map[15] = 0xFFFF;
    const std::vector<std::uint32_t> palette = colours(3, {4}, map);
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[1], 0x123456u);
    EXPECT_EQ(palette[15], 0xFF0000u);
}

TEST(TiffReader, TheBitmapIsAsWideAsTheWindowAndNoTallerThanTheOutput)
{
    // No decoder for Compression 7: the bitmap stays zero.
    Page p = pageOf(tags(1, {8}, 2000, 1600, 7), QByteArray());
    p.strips.clear();
    const QByteArray file = tifftest::build({p});
    std::optional<Dib> dib = decode(file, 500, 400, 1000, 800, 200);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->width(), 1000);
    EXPECT_EQ(dib->height(), 200);
    EXPECT_EQ(dib->bitCount(), 8);
    bool zero = true;
    for (int y = 0; y < dib->height(); ++y)
        for (int x = 0; x < dib->width(); ++x)
            zero = zero && dib->row(y)[x] == 0;
    EXPECT_TRUE(zero);
    dib = decode(file, 0, 0, 10, 8, 100);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->height(), 8);

    const struct {
        std::int64_t left, top, width, height;
    } outside[] = {{-1, 0, 10, 10}, {0, -1, 10, 10}, {0, 0, 0, 10}, {0, 0, 10, 0},
                   {1001, 0, 1000, 10}, {0, 801, 10, 800}};
    for (const auto &w : outside)
        EXPECT_FALSE(decode(file, w.left, w.top, w.width, w.height, 10)) << w.left << " " << w.top;
    // A page without its size.
    EXPECT_FALSE(decode(tifftest::build({pageOf(without(tags(1, {8}), 256))}), 0, 0, 1, 1, 1));
}

TEST(TiffReader, GammaChangesEightBitGreyAndRgbOnly)
{
    const QByteArray grey("\x00\x01\x80\xff", 4);
    auto pixels = [](const QByteArray &file, int width, int bytes, double gamma) {
        const std::optional<Dib> dib = decode(file, 0, 0, width, 1, 1, gamma);
        return dib ? QByteArray(reinterpret_cast<const char *>(dib->row(0)), bytes) : QByteArray();
    };
    const QByteArray blackIsZero = tifftest::build({pageOf(tags(1, {8}, 4), grey)});
    EXPECT_EQ(pixels(blackIsZero, 4, 4, 1), QByteArray("\x0d\x01\x80\xff", 4));
    EXPECT_EQ(pixels(blackIsZero, 4, 4, 0), grey);
    EXPECT_EQ(pixels(blackIsZero, 4, 4, 2), QByteArray("\x1a\x10\xb5\xff", 4));
    // RGB: every sample, in the bitmap's blue, green, red order.
    const QByteArray rgb = tifftest::build({pageOf(tags(2, {8, 8, 8}, 1), QByteArray("\x00\x80\x01", 3))});
    EXPECT_EQ(pixels(rgb, 1, 3, 1), QByteArray("\x01\x80\x0d", 3));
    // WhiteIsZero and palette indices keep their values.
    EXPECT_EQ(pixels(tifftest::build({pageOf(tags(0, {8}, 4), grey)}), 4, 4, 1), grey);
    std::vector<Entry> palette = tags(3, {8}, 4);
    palette.push_back({320, 3, std::vector<std::uint32_t>(768, 0)});
    EXPECT_EQ(pixels(tifftest::build({pageOf(palette, grey)}), 4, 4, 1), grey);
}

TEST(TiffReader, TheTestFilesReadAsAnotherReaderReadsThem)
{
    if (!testsupport::haveGdal())
        GTEST_SKIP() << "GDAL's tools are not installed";
    // GDAL reads the builder's file and writes what it read as a PNM picture.
    testsupport::TempFolder dir;
    auto readByGdal = [&](const QByteArray &file) {
        dir.write(QStringLiteral("in.tif"), file);
        const testsupport::ToolRun run = testsupport::runTool(
            QStringLiteral("gdal_translate"), {QStringLiteral("-q"), QStringLiteral("-of"), QStringLiteral("PNM"),
                                               QStringLiteral("in.tif"), QStringLiteral("out.pnm")},
            dir.path());
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(dir.file(QStringLiteral("out.pnm")));
    };
    // 5 × 4 RGB, two rows a strip, uncompressed, LZW (also with
    // differencing) and PackBits.
    QByteArray pixels;
    for (int i = 0; i < 5 * 4; ++i)
        pixels += QByteArray(1, char(i * 12)) + QByteArray(1, char(255 - i * 7)) + QByteArray(1, char((i * 37) & 0xFF));
    for (const auto &[compression, predictor] : {std::pair{1, 1}, {5, 1}, {5, 2}, {32773, 1}}) {
        Picture p{5, 4, 2, {8, 8, 8}, static_cast<std::uint16_t>(compression), 2,
                  static_cast<std::uint16_t>(predictor), {}, pixels};
        const QImage image = readByGdal(tifftest::file(p));
        ASSERT_EQ(image.size(), QSize(5, 4)) << compression << " " << predictor;
        for (int i = 0; i < 20; ++i) {
            const QRgb c = image.pixel(i % 5, i / 5);
            EXPECT_EQ(qRed(c), static_cast<unsigned char>(pixels[3 * i])) << compression << " " << i;
            EXPECT_EQ(qGreen(c), static_cast<unsigned char>(pixels[3 * i + 1]));
            EXPECT_EQ(qBlue(c), static_cast<unsigned char>(pixels[3 * i + 2]));
        }
    }
    // A long grey strip, whose LZW codes reach 12 bits and a clear code.
    QByteArray grey;
    std::uint32_t seed = 7;
    for (int i = 0; i < 200 * 100; ++i) {
        seed = seed * 1103515245u + 12345u;
        grey.append(static_cast<char>((seed >> 16) % 23 * 11));
    }
    const QImage image = readByGdal(tifftest::file(Picture{200, 100, 1, {8}, 5, 100, 1, {}, grey}));
    ASSERT_EQ(image.size(), QSize(200, 100));
    int differ = 0;
    for (int i = 0; i < 200 * 100; ++i)
        differ += qGray(image.pixel(i % 200, i / 200)) != static_cast<unsigned char>(grey[i]);
    EXPECT_EQ(differ, 0);
}
