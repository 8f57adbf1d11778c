// The program's own TIFF reader on a large scanned sheet: a 20,000 x 20,000
// RGB picture in LZW strips of 16 rows with horizontal differencing, a
// window of a 1920 x 1080 screen decoded at full resolution and at 1:8 (a
// 15,360 x 8,640 window reduced to 1080 rows), as the map draws it. The file
// is written once into $TOLVANE_BENCH_DIR when set (bench/tiff_vs_gdal.sh
// runs gdal_translate on it), with the full resolution window as "window.ppm"
// for comparing GDAL's pixels with the reader's.

#include "bench/BenchFolder.h"
#include "raster/TiffReader.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using bench::benchFolder;

constexpr std::uint32_t kSide = 20000, kRowsPerStrip = 16;
constexpr std::int64_t kLeft = 9000, kTop = 9000;            // the full resolution window
constexpr std::int64_t kLeft8 = 2000, kTop8 = 5000;          // the 1:8 window

// LZW of TIFF (a clear code first, codes of 9 to 12 bits most significant bit
// first, the width raised one code early, a clear code when the table is
// full): a flat table of the codes that follow each code, reset entry by
// entry, fast enough to write the sheet in seconds.
class LzwWriter {
public:
    LzwWriter() : next_(size_t(4096) * 256, 0) {}

    void encode(const std::uint8_t *data, size_t n, QByteArray &out)
    {
        out.clear();
        bits_ = 0;
        held_ = 0;
        reset();
        put(256, out);
        int w = -1;
        for (size_t i = 0; i < n; ++i) {
            const std::uint8_t c = data[i];
            if (w < 0) {
                w = c;
                continue;
            }
            const std::uint16_t known = next_[size_t(w) * 256 + c];
            if (known) {
                w = known;
                continue;
            }
            put(w, out);
            next_[size_t(w) * 256 + c] = static_cast<std::uint16_t>(code_);
            used_.push_back(size_t(w) * 256 + c);
            grow();
            w = c;
            if (code_ == 4094) {
                put(256, out);
                reset();
            }
        }
        if (w >= 0) {
            put(w, out);
            grow();
        }
        put(257, out);
        if (held_ > 0)
            out.append(static_cast<char>((bits_ << (8 - held_)) & 0xFF));
    }

private:
    void reset()
    {
        for (size_t at : used_)
            next_[at] = 0;
        used_.clear();
        code_ = 258;
        width_ = 9;
    }
    void grow()
    {
        ++code_;
        if (code_ > (1 << width_) - 1 && width_ < 12)
            ++width_;
    }
    void put(int code, QByteArray &out)
    {
        bits_ = bits_ << width_ | static_cast<std::uint32_t>(code);
        held_ += width_;
        while (held_ >= 8) {
            out.append(static_cast<char>((bits_ >> (held_ - 8)) & 0xFF));
            held_ -= 8;
        }
    }

    std::vector<std::uint16_t> next_;
    std::vector<size_t> used_;
    std::uint32_t bits_ = 0;
    int held_ = 0, width_ = 9, code_ = 258;
};

// A surveyed sheet's look: paper shaded in broad bands, a grid line every
// 250 pixels, thin contour-like curves.
void drawRow(std::uint32_t y, std::vector<std::uint8_t> &row)
{
    for (std::uint32_t x = 0; x < kSide; ++x) {
        std::uint8_t *p = &row[size_t(x) * 3];
        const std::uint32_t band = ((x >> 7) + (y >> 8)) % 24;
        p[0] = static_cast<std::uint8_t>(232 - band);
        p[1] = static_cast<std::uint8_t>(226 - band / 2);
        p[2] = static_cast<std::uint8_t>(200 - band * 2);
        if (x % 250 < 2 || y % 250 < 2)
            p[0] = p[1] = p[2] = 40;
        else if (((x / 3 + y / 2 + (x * y >> 14)) & 127) == 0)
            p[0] = 150, p[1] = 92, p[2] = 48;
    }
}

void put16(QByteArray &b, std::uint16_t v)
{
    b.append(static_cast<char>(v & 0xFF)).append(static_cast<char>(v >> 8));
}
void put32(QByteArray &b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// sheet.tiff: "II", 42, the strips, then the directory with its arrays.
const QString &sheetFile()
{
    static const QString name = [] {
        const QString file = QDir(benchFolder()).filePath(QStringLiteral("sheet.tiff"));
        if (QFile::exists(file))
            return file;
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write the benchmark's sheet");
        QByteArray head("II*\0\0\0\0\0", 8);
        f.write(head);
        std::vector<std::uint32_t> offsets, counts;
        std::vector<std::uint8_t> strip(size_t(kSide) * 3 * kRowsPerStrip), row(size_t(kSide) * 3);
        LzwWriter lzw;
        QByteArray encoded;
        for (std::uint32_t y0 = 0; y0 < kSide; y0 += kRowsPerStrip) {
            const std::uint32_t rows = std::min(kRowsPerStrip, kSide - y0);
            for (std::uint32_t r = 0; r < rows; ++r) {
                drawRow(y0 + r, row);
                // Horizontal differencing, sample by sample.
                std::uint8_t *out = &strip[size_t(r) * row.size()];
                out[0] = row[0], out[1] = row[1], out[2] = row[2];
                for (size_t i = 3; i < row.size(); ++i)
                    out[i] = static_cast<std::uint8_t>(row[i] - row[i - 3]);
            }
            lzw.encode(strip.data(), size_t(rows) * row.size(), encoded);
            offsets.push_back(static_cast<std::uint32_t>(f.pos()));
            counts.push_back(static_cast<std::uint32_t>(encoded.size()));
            f.write(encoded);
            if (f.pos() & 1)
                f.write("", 1);
        }
        const auto ifd = static_cast<std::uint32_t>(f.pos());
        const std::uint16_t entries = 10;
        const std::uint32_t arrays = ifd + 2 + entries * 12 + 4;
        const std::uint32_t bitsAt = arrays, offsetsAt = arrays + 8,
                            countsAt = offsetsAt + 4 * static_cast<std::uint32_t>(offsets.size());
        QByteArray d;
        put16(d, entries);
        auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
            put16(d, tag);
            put16(d, type);
            put32(d, count);
            put32(d, value);
        };
        entry(256, 4, 1, kSide);
        entry(257, 4, 1, kSide);
        entry(258, 3, 3, bitsAt);
        entry(259, 3, 1, 5);
        entry(262, 3, 1, 2);
        entry(273, 4, static_cast<std::uint32_t>(offsets.size()), offsetsAt);
        entry(277, 3, 1, 3);
        entry(278, 4, 1, kRowsPerStrip);
        entry(279, 4, static_cast<std::uint32_t>(counts.size()), countsAt);
        entry(317, 3, 1, 2);
        put32(d, 0);
        for (int i = 0; i < 4; ++i)
            put16(d, 8);
        for (std::uint32_t o : offsets)
            put32(d, o);
        for (std::uint32_t c : counts)
            put32(d, c);
        f.write(d);
        f.seek(4);
        QByteArray at;
        put32(at, ifd);
        f.write(at);
        if (!f.flush())
            qFatal("cannot write the benchmark's sheet");
        return file;
    }();
    return name;
}

// The decoded full resolution window as a binary PPM (RGB).
void writeWindow(const raster::Dib &dib)
{
    QFile f(QDir(benchFolder()).filePath(QStringLiteral("window.ppm")));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write the decoded window");
    f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(dib.width()).arg(dib.height()).toLatin1());
    const QImage image = dib.toImage().convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        f.write(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 3);
}

void decode(benchmark::State &state, std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height)
{
    const QString file = sheetFile();
    std::optional<raster::Dib> dib;
    for (auto _ : state) {
        // As the map draws a sheet: the file opened, its directory read, the window decoded.
        raster::TTIFFBitmap tiff;
        tiff.LoadFromFile(file);
        dib = tiff.GetPageRegion(1, left, top, width, height, 1080, 0);
        if (!dib)
            state.SkipWithError("no window decoded");
        benchmark::DoNotOptimize(dib->row(0));
    }
    if (dib && width == 1920)
        writeWindow(*dib);
    state.counters["bitmap_rows"] = dib ? dib->height() : 0;
}

void BM_TiffWindowFullResolution(benchmark::State &state)
{
    decode(state, kLeft, kTop, 1920, 1080);
}
BENCHMARK(BM_TiffWindowFullResolution)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TiffWindowOneEighth(benchmark::State &state)
{
    decode(state, kLeft8, kTop8, 1920 * 8, 1080 * 8);
}
BENCHMARK(BM_TiffWindowOneEighth)->Unit(benchmark::kMillisecond)->UseRealTime();

// A file of about a hundred bytes whose page says it has four billion rows
// of one pixel in one strip of one row: the window at its foot, 1080 rows
// tall, holds none of them, which must cost no more than reading the
// directory (it once stepped through the strips up to the window).
void BM_TiffWindowOfAPageThatHoldsNothing(benchmark::State &state)
{
    QByteArray f("II*\0\x0A\0\0\0\x55\0", 10);
    const std::uint16_t entries = 8;
    put16(f, entries);
    auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        put16(f, tag);
        put16(f, type);
        put32(f, 1);
        put32(f, value);
    };
    entry(256, 4, 1);
    entry(257, 4, 4000000000u);
    entry(258, 3, 8);
    entry(259, 3, 1);
    entry(262, 3, 1);
    entry(273, 4, 8);
    entry(278, 4, 1);
    entry(279, 4, 1);
    put32(f, 0);
    bool whole = true;
    for (auto _ : state) {
        raster::TiffMemoryStream stream(f);
        raster::TTIFFBitmap tiff;
        tiff.LoadFromStream(stream);
        const std::optional<raster::Dib> dib =
            tiff.GetPageRegion(1, 0, 4000000000LL - 1080 * 1000, 1, 1080 * 1000, 1080, 0, &whole);
        benchmark::DoNotOptimize(dib);
    }
    if (whole)
        state.SkipWithError("the page was taken for whole");
}
BENCHMARK(BM_TiffWindowOfAPageThatHoldsNothing)->Unit(benchmark::kMicrosecond);

} // namespace

namespace bench {
// The sheet, for the imaging library's benchmarks beside this one.
const QString &largeSheet()
{
    return sheetFile();
}
} // namespace bench

BENCHMARK_MAIN();
