// The strip decoders: the rows taken, the LZW and PackBits codes, the
// pixels of each sample layout through each decoder, the strips and rows
// read, and damaged strips.

#include "TiffBuilder.h"

#include "raster/TiffDecoders.h"
#include "raster/TiffReader.h"

#include <gtest/gtest.h>

#include <set>

using namespace raster;
using tifftest::Picture;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QByteArray rowOf(const Dib &dib, int y, int n)
{
    return QByteArray(reinterpret_cast<const char *>(dib.row(y)), n);
}

std::optional<Dib> decode(TiffStream &stream, std::int64_t left, std::int64_t top, std::int64_t width,
                          std::int64_t height, int outputHeight, bool *whole = nullptr)
{
    TTIFFBitmap tiff;
    tiff.LoadFromStream(stream);
    return tiff.GetPageRegion(1, left, top, width, height, outputHeight, 0, whole);
}

std::optional<Dib> decode(const QByteArray &file, std::int64_t left, std::int64_t top, std::int64_t width,
                          std::int64_t height, int outputHeight, bool *whole = nullptr)
{
    TiffMemoryStream stream(file);
    return decode(stream, left, top, width, height, outputHeight, whole);
}

QString errorOf(const QByteArray &file, std::int64_t width, std::int64_t height)
{
    try {
        decode(file, 0, 0, width, height, static_cast<int>(height));
    } catch (const TiffError &e) {
        return e.message();
    }
    return {};
}

// Every read it is asked for, each of which must lie inside the file.
class CountingStream : public TiffMemoryStream {
public:
    explicit CountingStream(const QByteArray &bytes) : TiffMemoryStream(bytes) {}
    qint64 readAt(qint64 pos, char *out, qint64 n) override
    {
        reads.push_back({pos, n});
        EXPECT_GE(pos, 0);
        EXPECT_LE(pos + n, size()) << "a read past the file's end";
        return TiffMemoryStream::readAt(pos, out, n);
    }
    std::vector<std::pair<qint64, qint64>> reads;
};

std::vector<std::uint32_t> tagOf(const QByteArray &file, int tag)
{
    TiffMemoryStream stream(file);
    TTIFFBitmap tiff;
    tiff.LoadFromStream(stream);
    std::vector<std::uint32_t> v;
    tiff.Page(0).GetTag(tag, v);
    return v;
}

} // namespace

TEST(TiffDecoders, RowsTakenForAShorterOutput)
{
    const std::vector<std::int64_t> rows = takenRows(100, 40);
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(std::vector<std::int64_t>(rows.begin(), rows.begin() + 8),
              (std::vector<std::int64_t>{0, 3, 5, 8, 10, 13, 15, 18}));
    EXPECT_EQ(rows.back(), 98);
    EXPECT_EQ(takenRows(5, 5), (std::vector<std::int64_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(takenRows(7, 1), (std::vector<std::int64_t>{0}));
    EXPECT_TRUE(takenRows(7, 0).empty());
    // The rows are those the rule takes visiting every row of the window.
    for (const std::int64_t window : {1, 2, 3, 7, 64, 100, 101, 997}) {
        for (std::int64_t output = 1; output <= window + 2; ++output) {
            std::vector<std::int64_t> visited;
            for (std::int64_t i = 0; i < window && std::int64_t(visited.size()) < output; ++i)
                if (rowTaken(i, std::int64_t(visited.size()), window, output))
                    visited.push_back(i);
            ASSERT_EQ(takenRows(window, output), visited) << window << " into " << output;
        }
    }
    // A window of four billion rows: the rows are found, not visited.
    const std::vector<std::int64_t> far = takenRows(4000000000LL, 4);
    EXPECT_EQ(far, (std::vector<std::int64_t>{0, 1000000000LL, 2000000000LL, 3000000000LL}));
}

TEST(TiffDecoders, LzwCodes)
{
    std::uint8_t out[64];
    auto run = [&](const QByteArray &in, std::int64_t capacity = 64) {
        const std::int64_t n = LzwDecodeStrip(reinterpret_cast<const std::uint8_t *>(in.constData()), in.size(), out,
                                              capacity);
        return QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(n));
    };
    // Clear, 'A', 'B', 258 ("AB"), end: 9-bit codes, most significant bit first.
    EXPECT_EQ(run(bytes({0x80, 0x10, 0x48, 0x50, 0x28, 0x08})), QByteArray("ABAB"));
    // The code that is being defined (clear, 'a', 258, end).
    EXPECT_EQ(run(bytes({0x80, 0x18, 0x60, 0x50, 0x10})), QByteArray("aaa"));
    // No clear code first: the table as a clear code leaves it.
    EXPECT_EQ(run(bytes({0x20, 0x90, 0xa0, 0x20})), QByteArray("AB"));
    // The output full: the rest is dropped.
    EXPECT_EQ(run(bytes({0x80, 0x10, 0x48, 0x50, 0x28, 0x08}), 3), QByteArray("ABA"));
    // The input's end is the end code, also inside a code.
    EXPECT_EQ(run(bytes({0x80, 0x10, 0x48})), QByteArray("A"));
    EXPECT_EQ(run(bytes({0x80, 0x10, 0x48, 0x50})), QByteArray("AB"));
    // A code beyond the table: clear, 300.
    try {
        run(bytes({0x80, 0x4b, 0x00}));
        ADD_FAILURE() << "no error";
    } catch (const TiffError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Неподдерживаемый формат сжатия."));
    }

    // Long strips: codes of 10, 11 and 12 bits, and a clear code when the
    // table is full, as the test encoder makes them.
    QByteArray data;
    std::uint32_t seed = 1;
    for (int i = 0; i < 60000; ++i) {
        seed = seed * 1103515245u + 12345u;
        data.append(static_cast<char>('a' + (seed >> 16) % 5));
    }
    // Long strings (a run, whose codes are each the code being defined) and
    // more than is decoded at a time, with clear codes between.
    QByteArray runs(70000, 'r');
    for (int i = 0; i < 200000; ++i)
        runs.append(i % 3000 < 1500 ? static_cast<char>('a' + i % 7) : data[i % data.size()]);
    for (const QByteArray &whole : {data, runs}) {
        for (const qsizetype n : {qsizetype(600), qsizetype(2000), qsizetype(60000), whole.size()}) {
            const QByteArray part = whole.left(n);
            const QByteArray encoded = tifftest::lzw(part);
            std::vector<std::uint8_t> decoded(static_cast<size_t>(n) + 10);
            EXPECT_EQ(LzwDecodeStrip(reinterpret_cast<const std::uint8_t *>(encoded.constData()), encoded.size(),
                                     decoded.data(), qsizetype(decoded.size())),
                      n);
            EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(decoded.data()), n), part) << n;
        }
    }
}

TEST(TiffDecoders, PackBitsRuns)
{
    std::uint8_t out[16];
    auto run = [&](const QByteArray &in, std::int64_t capacity = 16) {
        const std::int64_t n = PackBitsDecodeStrip(reinterpret_cast<const std::uint8_t *>(in.constData()), in.size(),
                                                   out, capacity);
        return QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(n));
    };
    EXPECT_EQ(run(bytes({0x02, 'a', 'b', 'c'})), QByteArray("abc"));
    EXPECT_EQ(run(bytes({0xfe, 'x', 0x00, 'y'})), QByteArray("xxxy"));
    EXPECT_EQ(run(bytes({0x80, 0x00, 'z'})), QByteArray("z"));
    EXPECT_EQ(run(bytes({0xfd, 'y'}), 2), QByteArray("yy"));
    // A literal cut short by the strip's end, a repeat without its byte.
    EXPECT_EQ(run(bytes({0x05, 'a', 'b'})), QByteArray("ab"));
    EXPECT_EQ(run(bytes({0x00, 'a', 0xfe})), QByteArray("a"));
}

TEST(TiffDecoders, EveryLayoutThroughEveryDecoder)
{
    std::vector<std::uint32_t> palette16(48, 0), palette256(768, 0);
    const struct {
        const char *what;
        std::uint16_t photometric;
        std::vector<std::uint32_t> bits;
        std::uint32_t width;
        QByteArray pixels;             // one row of the file
        std::int64_t left, windowWidth;
        QByteArray expected;           // the bitmap row's first bytes
        bool differencing;             // also tried with predictor 2
    } cases[] = {
        // Bits 3 .. 10 of the row: the row shifted left by 3.
        {"1-bit grey from column 3", 1, {1}, 16, bytes({0xb3, 0x55}), 3, 8, bytes({0x9a, 0x00}), false},
        {"4-bit grey from column 1", 1, {4}, 6, bytes({0x12, 0x34, 0x56}), 1, 4, bytes({0x23, 0x45, 0x00}), false},
        {"4-bit palette from column 1", 3, {4}, 6, bytes({0x12, 0x34, 0x56}), 1, 4, bytes({0x23, 0x45, 0x00}),
         false},
        {"8-bit palette", 3, {8}, 4, bytes({3, 1, 4, 1}), 1, 2, bytes({1, 4}), false},
        {"8-bit grey", 1, {8}, 4, bytes({10, 250, 7, 200}), 1, 3, bytes({250, 7, 200}), true},
        // 16-bit grey keeps the high byte of each little-endian sample.
        {"16-bit grey", 1, {16}, 2, bytes({0xaa, 0x00, 0x01, 0xbb}), 0, 2, bytes({0x00, 0xbb}), true},
        {"RGB", 2, {8, 8, 8}, 3, bytes({1, 2, 3, 4, 5, 6, 7, 8, 9}), 1, 2, bytes({6, 5, 4, 9, 8, 7}), true},
        {"CIELab, as RGB", 8, {8, 8, 8}, 1, bytes({1, 2, 3}), 0, 1, bytes({3, 2, 1}), false},
        {"RGB of 48 bits", 2, {16, 16, 16}, 2,
         bytes({0x00, 0x11, 0x00, 0x22, 0x00, 0x33, 0xff, 0x44, 0x01, 0x55, 0x02, 0x66}), 1, 1,
         bytes({0x66, 0x55, 0x44}), true},
        // CMYK to blue, green, red and 0: white, black and a mix.
        {"CMYK", 5, {8, 8, 8, 8}, 3, bytes({0, 0, 0, 0, 0, 0, 0, 255, 10, 20, 30, 40}), 0, 3,
         bytes({255, 255, 255, 0, 0, 0, 0, 0, 185, 195, 205, 0}), true},
    };
    for (const auto &c : cases) {
        for (const std::uint16_t compression : {1, 5, 32773}) {
            for (const std::uint16_t predictor : {1, 2}) {
                if (predictor == 2 && (!c.differencing || compression == 1))
                    continue;
                SCOPED_TRACE(std::string(c.what) + ", compression " + std::to_string(compression) + ", predictor " +
                             std::to_string(predictor));
                Picture p;
                p.width = c.width;
                p.height = 2;
                p.photometric = c.photometric;
                p.bitsPerSample = c.bits;
                p.compression = compression;
                p.rowsPerStrip = 1;
                p.predictor = predictor;
                if (c.photometric == 3)
                    p.colorMap = c.bits.front() == 4 ? palette16 : palette256;
                // Row 1 is row 0 backwards, so that the rows differ.
                QByteArray second = c.pixels;
                std::reverse(second.begin(), second.end());
                p.pixels = c.pixels + second;
                const std::optional<Dib> dib = decode(tifftest::file(p), c.left, 0, c.windowWidth, 1, 1);
                ASSERT_TRUE(dib);
                EXPECT_EQ(rowOf(*dib, 0, static_cast<int>(c.expected.size())), c.expected);
                // The bitmap row ends in zeros.
                for (std::int64_t k = (c.windowWidth * dib->bitCount() + 7) / 8; k < dib->stride(); ++k)
                    EXPECT_EQ(dib->row(0)[k], 0) << k;
            }
        }
    }
}

TEST(TiffDecoders, WindowsOfDifferencedStripsHoldThePicturesPixels)
{
    // Pictures of runs (long LZW strings) and noise, differenced and
    // compressed in strips of 7 rows, and in one strip; every window and
    // reduction as the same picture uncompressed gives it.
    const struct {
        const char *what;
        std::uint16_t photometric;
        std::vector<std::uint32_t> bits;
    } layouts[] = {
        {"RGB", 2, {8, 8, 8}},     {"RGB of 48 bits", 2, {16, 16, 16}}, {"8-bit grey", 1, {8}},
        {"16-bit grey", 1, {16}},  {"CMYK", 5, {8, 8, 8, 8}},
    };
    const std::uint32_t width = 700, height = 30;
    const struct {
        std::int64_t left, top, width, height;
        int output;
    } windows[] = {{0, 0, 700, 30, 30}, {1, 3, 698, 20, 20}, {333, 6, 17, 9, 9},
                   {650, 13, 50, 17, 5}, {699, 29, 1, 1, 1}, {5, 0, 600, 30, 4}};
    for (const auto &layout : layouts) {
        Picture plain;
        plain.width = width;
        plain.height = height;
        plain.photometric = layout.photometric;
        plain.bitsPerSample = layout.bits;
        plain.rowsPerStrip = height;
        const std::int64_t rowBytes = tifftest::rowBytes(plain);
        std::uint32_t seed = 7;
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::int64_t k = 0; k < rowBytes; ++k) {
                seed = seed * 1103515245u + 12345u;
                const bool run = (k / 97 + y) % 3 != 0;
                plain.pixels.append(static_cast<char>(run ? 200 + y % 5 : (seed >> 16) & 0xFF));
            }
        }
        const QByteArray reference = tifftest::file(plain);
        for (const std::uint16_t compression : {5, 32773}) {
            for (const std::uint32_t rowsPerStrip : {7u, height}) {
                Picture p = plain;
                p.compression = compression;
                p.predictor = 2;
                p.rowsPerStrip = rowsPerStrip;
                const QByteArray file = tifftest::file(p);
                for (const auto &w : windows) {
                    SCOPED_TRACE(std::string(layout.what) + ", compression " + std::to_string(compression) +
                                 ", strips of " + std::to_string(rowsPerStrip) + " rows, window at " +
                                 std::to_string(w.left) + ", " + std::to_string(w.top));
                    const std::optional<Dib> expected = decode(reference, w.left, w.top, w.width, w.height, w.output);
                    const std::optional<Dib> got = decode(file, w.left, w.top, w.width, w.height, w.output);
                    ASSERT_TRUE(expected && got);
                    ASSERT_EQ(got->height(), expected->height());
                    int differing = 0;
                    for (int y = 0; y < got->height(); ++y)
                        differing += rowOf(*got, y, static_cast<int>(got->stride())) !=
                                     rowOf(*expected, y, static_cast<int>(expected->stride()));
                    EXPECT_EQ(differing, 0);
                }
            }
        }
    }
}

TEST(TiffDecoders, OnlyTheStripsAndRowsTheWindowNeedsAreRead)
{
    // 64 × 400 grey, LZW strips of 10 rows: rows 150 .. 199 lie in strips
    // 15 .. 19.
    QByteArray pixels;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.append(static_cast<char>((x + 3 * y) & 0xFF));
    const QByteArray lzwFile = tifftest::file(Picture{64, 400, 1, {8}, 5, 10, 1, {}, pixels});
    const std::vector<std::uint32_t> offsets = tagOf(lzwFile, 273), counts = tagOf(lzwFile, 279);
    ASSERT_EQ(offsets.size(), 40u);
    CountingStream stream(lzwFile);
    const std::optional<Dib> dib = decode(stream, 8, 150, 16, 50, 50);
    ASSERT_TRUE(dib);
    EXPECT_EQ(rowOf(*dib, 49, 3), QByteArray(pixels.constData() + 199 * 64 + 8, 3));
    std::set<int> stripsRead;
    for (const auto &[pos, n] : stream.reads)
        for (int k = 0; k < 40; ++k)
            if (pos < qint64(offsets[size_t(k)]) + counts[size_t(k)] && pos + n > offsets[size_t(k)])
                stripsRead.insert(k);
    EXPECT_EQ(stripsRead, (std::set<int>{15, 16, 17, 18, 19}));

    // 100 × 1000 uncompressed, 16 rows a strip: 400 rows from row 500 into
    // 50 output rows read 50 rows, each from the window's left edge.
    QByteArray wide(100 * 1000, '\0');
    for (int k = 0; k < wide.size(); ++k)
        wide[k] = static_cast<char>(k % 251);
    const QByteArray plainFile = tifftest::file(Picture{100, 1000, 1, {8}, 1, 16, 1, {}, wide});
    const std::uint32_t first = tagOf(plainFile, 273).front();
    CountingStream plain(plainFile);
    const std::optional<Dib> reduced = decode(plain, 30, 500, 40, 400, 50);
    ASSERT_TRUE(reduced);
    std::vector<std::int64_t> rowsRead;
    for (const auto &[pos, n] : plain.reads)
        if (pos >= first && pos < first + qint64(wide.size())) {
            EXPECT_EQ((pos - first) % 100, 30);
            rowsRead.push_back((pos - first) / 100);
        }
    std::vector<std::int64_t> expected;
    for (std::int64_t r : takenRows(400, 50))
        expected.push_back(500 + r);
    EXPECT_EQ(rowsRead, expected);
    EXPECT_EQ(rowOf(*reduced, 1, 2), wide.mid(508 * 100 + 30, 2));
}

TEST(TiffDecoders, DamagedStripsNeverReadPastTheFile)
{
    QByteArray pixels;
    for (int k = 0; k < 4 * 40; ++k)
        pixels.append(static_cast<char>(k + 1));
    // Strips of 10 rows, of which the table holds the first two: the rest
    // of the window stays zero, and the decoding says the file ran short.
    for (const std::uint16_t compression : {1, 5, 32773}) {
        tifftest::Page p = tifftest::page(Picture{4, 40, 1, {8}, compression, 10, 1, {}, pixels});
        const QByteArray intact = tifftest::build({p});
        p.strips.resize(2);
        const QByteArray cut = tifftest::build({p});
        bool whole = false;
        const std::optional<Dib> dib = decode(cut, 0, 0, 4, 40, 40, &whole);
        ASSERT_TRUE(dib) << compression;
        EXPECT_EQ(rowOf(*dib, 19, 4), pixels.mid(19 * 4, 4)) << compression;
        EXPECT_EQ(rowOf(*dib, 20, 4), QByteArray(4, '\0')) << compression;
        EXPECT_FALSE(whole) << compression;
        // A window within the strips the table holds is whole, as is the
        // intact file's.
        ASSERT_TRUE(decode(cut, 0, 0, 4, 20, 20, &whole)) << compression;
        EXPECT_TRUE(whole) << compression;
        ASSERT_TRUE(decode(intact, 0, 0, 4, 40, 40, &whole)) << compression;
        EXPECT_TRUE(whole) << compression;
    }
    // Strips placed and counted past the file's end, for every decoder:
    // nothing read past it, and the file said to be short.
    for (const std::uint16_t compression : {1, 5, 32773}) {
        tifftest::Page p = tifftest::page(Picture{4, 40, 1, {8}, compression, 10, 1, {}, pixels});
        p.withStripTags = false;
        p.entries.push_back({273, 4, {8, 1000000, 8, 8}});
        p.entries.push_back({279, 4, {4000000, 10, 40, 40}});
        CountingStream stream(tifftest::build({p}));
        bool whole = true;
        EXPECT_NO_THROW(decode(stream, 0, 0, 4, 40, 40, &whole)) << compression;
        EXPECT_FALSE(whole) << compression;
    }
    // A broken LZW stream is refused; the uncompressed strips of a file cut
    // short read as far as the file goes.
    tifftest::Page broken = tifftest::page(Picture{4, 1, 1, {8}, 5, 1, 1, {}, pixels.left(4)});
    broken.strips = {bytes({0x80, 0x4b, 0x00})};
    EXPECT_EQ(errorOf(tifftest::build({broken}), 4, 1), QStringLiteral("Неподдерживаемый формат сжатия."));
    // An uncompressed strip of 40 rows of which the file holds 5 rows and 2
    // bytes: its end.
    tifftest::Page tail = tifftest::page(Picture{4, 40, 1, {8}, 1, 40, 1, {}, pixels});
    tail.withStripTags = false;
    tail.strips.clear();
    tail.entries.push_back({273, 4, {0}});
    tail.entries.push_back({279, 4, {160}});
    const qsizetype size = tifftest::build({tail}).size();
    tail.entries[tail.entries.size() - 2].values = {static_cast<std::uint32_t>(size)};
    CountingStream stream(tifftest::build({tail}) + pixels.left(22));
    bool whole = true;
    const std::optional<Dib> dib = decode(stream, 0, 0, 4, 40, 40, &whole);
    ASSERT_TRUE(dib);
    EXPECT_EQ(rowOf(*dib, 4, 4), pixels.mid(16, 4));
    EXPECT_EQ(rowOf(*dib, 5, 4), pixels.mid(20, 2) + QByteArray(2, '\0'));
    EXPECT_EQ(rowOf(*dib, 6, 4), QByteArray(4, '\0'));
    EXPECT_FALSE(whole);
    // The rows the file holds whole are all there; the last row's reading
    // beyond its bytes is no shortage.
    EXPECT_TRUE(decode(stream, 0, 0, 4, 5, 5, &whole));
    EXPECT_TRUE(whole);

    // Missing strip tags.
    tifftest::Page bare = tifftest::page(Picture{4, 1, 1, {8}, 1, 1, 1, {}, pixels.left(4)});
    bare.withStripTags = false;
    EXPECT_EQ(errorOf(tifftest::build({bare}), 4, 1), QStringLiteral("Ошибка структуры файла."));
    bare.entries.push_back({273, 4, {8}});
    bare.entries.push_back({279, 4, {4, 4}});
    EXPECT_EQ(errorOf(tifftest::build({bare}), 4, 1), QStringLiteral("Ошибка структуры файла."));
    // Offsets as one RATIONAL (two values) beside one count.
    bare.entries[bare.entries.size() - 2] = {273, 5, {8, 1}};
    bare.entries.back() = {279, 4, {4}};
    EXPECT_EQ(errorOf(tifftest::build({bare}), 4, 1), QStringLiteral("Ошибка структуры файла."));
}

TEST(TiffDecoders, APageOfBillionsOfRowsInAHundredBytesHoldsNoneOfThem)
{
    // One strip of one row, and a page that says it has four billion rows
    // of one pixel: a window anywhere past the first row holds nothing, and
    // finding that out reads nothing of the strip.
    for (const std::uint16_t compression : {1, 5, 32773}) {
        SCOPED_TRACE(compression);
        tifftest::Page p;
        p.entries = {{256, 4, {1}}, {257, 4, {4000000000u}}, {258, 3, {8}}, {259, 3, {compression}},
                     {262, 3, {1}}, {278, 4, {1}}};
        p.strips = {bytes({0x55})};
        const QByteArray file = tifftest::build({p});
        ASSERT_LT(file.size(), 120);
        for (const std::int64_t top : {3999999000LL, 2000000000LL, 1LL}) {
            CountingStream stream(file);
            bool whole = true;
            const std::optional<Dib> dib = decode(stream, 0, top, 1, 1000, 10, &whole);
            ASSERT_TRUE(dib) << top;
            EXPECT_FALSE(whole) << top;
            for (int y = 0; y < dib->height(); ++y)
                EXPECT_EQ(rowOf(*dib, y, 1), bytes({0})) << top << " row " << y;
            for (const auto &[at, n] : stream.reads)
                EXPECT_FALSE(at <= 8 && 8 < at + n) << "the strip read at " << at;
        }
        // The window of the first rows: the strip's row, then nothing.
        bool whole = true;
        const std::optional<Dib> first = decode(file, 0, 0, 1, 2000000000LL, 4, &whole);
        ASSERT_TRUE(first);
        EXPECT_FALSE(whole);
        if (compression == 1) { // one byte is no LZW or PackBits row
            EXPECT_EQ(rowOf(*first, 0, 1), bytes({0x55}));
        }
    }
}

TEST(TiffDecoders, AWindowPastWhatItsStripHoldsRepeatsTheRowsLastPixel)
{
    // Differenced RGB strips holding two pixels of a row the page says is
    // 2^32 - 16 pixels long: a window at the row's far end carries the last
    // pixel on through the bytes the strip does not hold, with no buffer for
    // the gigabytes before it.
    for (const std::uint16_t compression : {5, 32773}) {
        tifftest::Page p = tifftest::page(Picture{2, 1, 2, {8, 8, 8}, compression, 1, 2, {}, bytes({10, 20, 30, 1, 2, 3})});
        for (tifftest::Entry &e : p.entries)
            if (e.tag == 256)
                e.values = {0xFFFFFFF0u};
        const std::optional<Dib> dib = decode(tifftest::build({p}), 0xFFFFFFF0LL - 4, 0, 4, 1, 1);
        ASSERT_TRUE(dib) << compression;
        EXPECT_EQ(rowOf(*dib, 0, 12), bytes({3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1})) << compression;
        // The same two pixels at the row's start.
        const std::optional<Dib> start = decode(tifftest::build({p}), 0, 0, 3, 1, 1);
        ASSERT_TRUE(start) << compression;
        EXPECT_EQ(rowOf(*start, 0, 9), bytes({30, 20, 10, 3, 2, 1, 3, 2, 1})) << compression;
    }
}

TEST(TiffDecoders, ColourSamplesTheCompressedDecodersDoNotTake)
{
    // RGB of 24-bit samples (72 bits a pixel): uncompressed they keep their
    // last byte; LZW and PackBits take 8 and 16 bits only.
    Picture p{1, 1, 2, {24, 24, 24}, 1, 1, 1, {}, bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})};
    const std::optional<Dib> dib = decode(tifftest::file(p), 0, 0, 1, 1, 1);
    ASSERT_TRUE(dib);
    EXPECT_EQ(rowOf(*dib, 0, 3), bytes({9, 6, 3}));
    for (const std::uint16_t compression : {5, 32773}) {
        p.compression = compression;
        EXPECT_EQ(errorOf(tifftest::file(p), 1, 1), QStringLiteral("Неподдерживаемый формат изображения."));
    }
    // CMYK of 24 bits a pixel.
    Picture cmyk{1, 1, 5, {8, 8, 8}, 1, 1, 1, {}, bytes({1, 2, 3})};
    EXPECT_EQ(errorOf(tifftest::file(cmyk), 1, 1), QStringLiteral("Ошибка структуры файла."));
}
