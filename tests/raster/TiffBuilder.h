#pragma once
// TIFF files for tests, laid out here and not by the reader under test: the
// header, directories of 12-byte entries (values inline when they take at
// most 4 bytes, else after the directory), strips and several pages; and
// the encoders of strips (uncompressed, PackBits, LZW with TIFF's early
// change) with horizontal differencing.

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace tifftest {

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 3;                 // 1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL (pairs)
    std::vector<std::uint32_t> values;      // RATIONAL: numerator, denominator, ...
    // A count other than the values' (a damaged entry); -1: the values'.
    std::int64_t count = -1;
    // An offset of the values other than where the builder puts them; -1: the builder's.
    std::int64_t offset = -1;
};

struct Page {
    std::vector<Entry> entries;             // written in ascending order of tags
    // Strips laid out before the directory; StripOffsets and StripByteCounts
    // (LONG) are added unless withStripTags is false.
    std::vector<QByteArray> strips;
    bool withStripTags = true;
};

// The file: "II", 42, the pages' directories chained in order (the last
// one's next offset is `lastNext`, 0 ends the chain).
QByteArray build(const std::vector<Page> &pages, std::uint32_t lastNext = 0);

// ---- pictures ----

// A page of a picture: width, height, photometric, bits per sample (one
// value per sample), compression (1, 5 or 32773), rows per strip, predictor
// (1 none, 2 horizontal differencing; written only when 2), and the rows of
// the file, each rowBytes long, split into strips and encoded.
struct Picture {
    std::uint32_t width = 0, height = 0;
    std::uint16_t photometric = 1;
    std::vector<std::uint32_t> bitsPerSample{8};
    std::uint16_t compression = 1;
    std::uint32_t rowsPerStrip = 1;
    std::uint16_t predictor = 1;
    std::vector<std::uint32_t> colorMap;   // palette pictures
    QByteArray pixels;                      // rows of the file, top first
};
std::int64_t rowBytes(const Picture &p);
Page page(const Picture &p);
inline QByteArray file(const Picture &p) { return build({page(p)}); }
// An 8-bit grey page of one shade, in one strip.
inline Page greyPage(std::uint32_t width, std::uint32_t height, int shade)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.rowsPerStrip = height;
    p.pixels = QByteArray(static_cast<qsizetype>(width * height), char(shade));
    return page(p);
}

// ---- strip encoders ----

QByteArray packBits(const QByteArray &data);
// LZW of TIFF: a clear code first, codes of 9 to 12 bits most significant
// bit first, the width raised one code early, a clear code when the table is
// full, the end code last.
QByteArray lzw(const QByteArray &data);
// Horizontal differencing of rows of rowBytes bytes: each sample (of 1 or 2
// bytes, little-endian) less the one `distance` samples before it in its row.
QByteArray differenced(const QByteArray &rows, std::int64_t rowBytes, int distance, int sampleBytes = 1);

} // namespace tifftest
