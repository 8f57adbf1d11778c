// The TIFF file and its directories, and the window of a page decoded into a
// bitmap.

#include "raster/TiffReader.h"

#include "raster/TiffDecoders.h"

#include "platform/ByteOrder.h"
#include "platform/gdi/RasterOps.h"

#include <algorithm>
#include <set>

namespace raster {

QString tiffReadErrorText() { return QStringLiteral("Ошибка чтения файла."); }
QString tiffStructureErrorText() { return QStringLiteral("Ошибка структуры файла."); }
QString tiffFormatErrorText() { return QStringLiteral("Неподдерживаемый формат изображения."); }
QString tiffCompressionErrorText() { return QStringLiteral("Неподдерживаемый формат сжатия."); }

namespace {

using platform::le::u16;
using platform::le::u32;

// Reads exactly n bytes at pos, or raises the read error; nothing is asked
// for beyond the file's end.
QByteArray readExactly(TiffStream &stream, qint64 pos, qint64 n)
{
    if (pos < 0 || n < 0 || pos > stream.size() || n > stream.size() - pos)
        throw TiffError(tiffReadErrorText());
    QByteArray bytes(n, Qt::Uninitialized);
    if (n > 0 && stream.readAt(pos, bytes.data(), n) != n)
        throw TiffError(tiffReadErrorText());
    return bytes;
}

// Bytes of one value of a tag's type; 0 for the types the reader does not
// read.
int typeSize(std::uint16_t type)
{
    switch (type) {
    case 1: case 2: return 1;   // BYTE, ASCII
    case 3: return 2;           // SHORT
    case 4: return 4;           // LONG
    case 5: return 8;           // RATIONAL
    default: return 0;
    }
}

void decodeValues(const char *p, std::uint16_t type, std::int64_t count, std::vector<std::uint32_t> &values)
{
    values.clear();
    values.reserve(static_cast<size_t>(type == 5 ? 2 * count : count));
    for (std::int64_t k = 0; k < count; ++k) {
        switch (type) {
        case 1: case 2: values.push_back(static_cast<unsigned char>(p[k])); break;
        case 3: values.push_back(u16(p + 2 * k)); break;
        case 4: values.push_back(u32(p + 4 * k)); break;
        case 5:
            values.push_back(u32(p + 8 * k));
            values.push_back(u32(p + 8 * k + 4));
            break;
        default: break;
        }
    }
}

} // namespace

// ---- streams ------------------------------------------------------------------------

TiffFileStream::TiffFileStream(const QString &fileName) : file_(fileName)
{
    if (!file_.open(QIODevice::ReadOnly))
        throw TiffError(QStringLiteral("Невозможно открыть файл ") + fileName + QStringLiteral(" !"));
    size_ = file_.size();
}

qint64 TiffFileStream::readAt(qint64 pos, char *out, qint64 n)
{
    if (pos < 0 || n <= 0 || pos >= size_ || !file_.seek(pos))
        return 0;
    const qint64 got = file_.read(out, std::min(n, size_ - pos));
    return std::max<qint64>(got, 0);
}

qint64 TiffMemoryStream::readAt(qint64 pos, char *out, qint64 n)
{
    if (pos < 0 || n <= 0 || pos >= bytes_.size())
        return 0;
    const qint64 got = std::min(n, bytes_.size() - pos);
    std::copy_n(bytes_.constData() + pos, got, out);
    return got;
}

// ---- one directory --------------------------------------------------------------------

TTIFFIFD::TTIFFIFD(TiffStream &stream, qint64 offset, std::uint32_t &next) : stream_(stream), offset_(offset)
{
    const std::uint16_t count = u16(readExactly(stream, offset, 2).constData());
    entries_ = readExactly(stream, offset + 2, 12 * qint64(count));
    next = u32(readExactly(stream, offset + 2 + 12 * qint64(count), 4).constData());

    std::vector<std::uint32_t> v;
    if (GetTag(tagPhotometric, v) == 0 || v.empty())
        throw TiffError(tiffStructureErrorText());
    photometric_ = static_cast<int>(v.front());
    if (GetTag(tagCompression, v) == 0 || v.empty())
        throw TiffError(tiffStructureErrorText());
    compression_ = v.front();

    // Bits per pixel by the photometric interpretation.
    const std::int64_t samples = GetTag(tagBitsPerSample, v);
    auto equalBytes = [&](size_t n) {
        if (v.size() < n)
            throw TiffError(tiffStructureErrorText());
        int sum = 0;
        for (size_t k = 0; k < n; ++k) {
            if (v[k] != v.front() || v[k] == 0 || v[k] % 8 != 0 || v[k] > 32)
                throw TiffError(tiffFormatErrorText());
            sum += static_cast<int>(v[k]);
        }
        return sum;
    };
    switch (photometric_) {
    case phWhiteIsZero:
    case phBlackIsZero: {
        const std::uint32_t b = samples > 0 ? v.front() : 1;
        if (b != 1 && b != 4 && b != 8 && b != 16)
            throw TiffError(tiffFormatErrorText());
        bitsPerPixel_ = static_cast<int>(b);
        break;
    }
    case phRgb:
    case phCieLab:
        bitsPerPixel_ = equalBytes(3);
        break;
    case phPalette:
        if (samples == 0)
            throw TiffError(tiffStructureErrorText());
        if (v.front() != 4 && v.front() != 8)
            throw TiffError(tiffFormatErrorText());
        bitsPerPixel_ = static_cast<int>(v.front());
        break;
    case phSeparated:
        bitsPerPixel_ = equalBytes(4);
        break;
    default:
        break; // refused when a window of it is asked for
    }
}

std::int64_t TTIFFIFD::GetTag(int tag, std::vector<std::uint32_t> &values) const
{
    values.clear();
    const qsizetype n = entries_.size() / 12;
    for (qsizetype k = 0; k < n; ++k) {
        const char *e = entries_.constData() + 12 * k;
        if (u16(e) != tag)
            continue;
        const std::uint16_t type = u16(e + 2);
        const std::int64_t count = u32(e + 4);
        const int size = typeSize(type);
        if (size == 0 || count == 0)
            return 0;
        if (size * count <= 4) {
            // Every value stored in the entry itself counts.
            decodeValues(e + 8, type, count, values);
        } else {
            const QByteArray bytes = readExactly(stream_, u32(e + 8), size * count);
            decodeValues(bytes.constData(), type, count, values);
        }
        return count;
    }
    return 0;
}

std::uint32_t TTIFFIFD::tagValue(int tag, std::uint32_t fallback) const
{
    std::vector<std::uint32_t> v;
    return GetTag(tag, v) > 0 && !v.empty() ? v.front() : fallback;
}

std::optional<Dib> TTIFFIFD::DecodeRegion(std::int64_t left, std::int64_t top, std::int64_t width,
                                          std::int64_t height, int outputHeight, double gamma, bool *whole) const
{
    if (whole)
        *whole = true;
    std::vector<std::uint32_t> v;
    if (GetTag(tagImageWidth, v) == 0 || v.empty())
        return std::nullopt;
    const std::int64_t imageWidth = v.front();
    if (GetTag(tagImageLength, v) == 0 || v.empty())
        return std::nullopt;
    const std::int64_t imageLength = v.front();
    if (left < 0 || top < 0 || width < 1 || height < 1 || left + width > imageWidth || top + height > imageLength)
        return std::nullopt;

    // The bitmap's pixels and colour table.
    const int b = bitsPerPixel_;
    int bitCount = b;
    std::vector<std::uint32_t> colors;
    switch (photometric_) {
    case phWhiteIsZero:
    case phBlackIsZero: {
        // 16-bit samples keep their high byte, as colour samples do.
        bitCount = b == 16 ? 8 : b;
        const int n = 1 << bitCount;
        for (int i = 0; i < n; ++i) {
            const int g = photometric_ == phBlackIsZero ? i * 255 / (n - 1) : 255 - i * 255 / (n - 1);
            colors.push_back(std::uint32_t(g) << 16 | std::uint32_t(g) << 8 | std::uint32_t(g));
        }
        break;
    }
    case phPalette: {
        const std::int64_t count = GetTag(tagColorMap, v);
        const std::int64_t n = count / 3;
        if (n != (std::int64_t(1) << b) || static_cast<std::int64_t>(v.size()) < 3 * n)
            throw TiffError(tiffStructureErrorText());
        for (std::int64_t i = 0; i < n; ++i)
            colors.push_back((v[size_t(i)] >> 8 & 0xFF) << 16 | (v[size_t(n + i)] >> 8 & 0xFF) << 8 |
                             (v[size_t(2 * n + i)] >> 8 & 0xFF));
        break;
    }
    case phRgb:
    case phCieLab:
        bitCount = 24;
        break;
    case phSeparated:
        bitCount = 32;
        break;
    default:
        throw TiffError(tiffFormatErrorText());
    }

    const std::int64_t bitmapHeight = std::min<std::int64_t>(std::max(outputHeight, 0), height);
    if (bitmapHeight < 1 || width > INT32_MAX)
        return std::nullopt;
    Dib dib;
    if (!dib.create(static_cast<int>(width), static_cast<int>(bitmapHeight), bitCount))
        return std::nullopt;
    dib.colors() = std::move(colors);

    const DecodeWindow window{left, top, width, height};
    bool held = true;
    switch (compression_) {
    case 1:
    case 2: held = DecodeUncompressedRegion(*this, dib, window); break;
    case 5: held = DecodeLzwRegion(*this, dib, window); break;
    case 32773: held = DecodePackBitsRegion(*this, dib, window); break;
    default: break; // left as made: zero
    }
    if (whole)
        *whole = held;

    if (gamma != 0 && ((photometric_ == phBlackIsZero && bitCount == 8 && b == 8) || photometric_ == phRgb)) {
        const std::array<std::uint8_t, 256> table = platform::gdi::gammaTable(gamma);
        const std::int64_t bytes = photometric_ == phRgb ? 3 * width : width;
        for (int y = 0; y < dib.height(); ++y) {
            std::uint8_t *p = dib.row(y);
            for (std::int64_t x = 0; x < bytes; ++x)
                p[x] = table[p[x]];
        }
    }
    return dib;
}

// ---- the file ----------------------------------------------------------------------

TTIFFBitmap::~TTIFFBitmap() = default;

void TTIFFBitmap::Clear()
{
    pages_.clear();
    owned_.reset();
    fileName_.clear();
}

bool TTIFFBitmap::LoadFromFile(const QString &fileName)
{
    Clear();
    auto stream = std::make_unique<TiffFileStream>(fileName);
    TiffStream &s = *stream;
    owned_ = std::move(stream);
    fileName_ = fileName;
    try {
        return LoadFromStream(s);
    } catch (...) {
        Clear();
        throw;
    }
}

bool TTIFFBitmap::LoadFromStream(TiffStream &stream)
{
    pages_.clear();
    try {
        char head[8];
        if (stream.readAt(0, head, 8) != 8 || head[0] != 'I' || head[1] != 'I' || u16(head + 2) != 42)
            return true; // no pages: not a little-endian TIFF
        std::uint32_t next = u32(head + 4);
        std::set<std::uint32_t> seen;
        while (next > 7 && seen.insert(next).second)
            pages_.push_back(std::make_unique<TTIFFIFD>(stream, next, next));
    } catch (...) {
        Clear();
        throw;
    }
    return true;
}

std::optional<Dib> TTIFFBitmap::GetPageRegion(int page, std::int64_t left, std::int64_t top, std::int64_t width,
                                              std::int64_t height, int outputHeight, double gamma, bool *whole) const
{
    if (whole)
        *whole = true;
    if (page < 1 || page > PageCount())
        return std::nullopt;
    return pages_[static_cast<size_t>(page - 1)]->DecodeRegion(left, top, width, height, outputHeight, gamma, whole);
}

} // namespace raster
