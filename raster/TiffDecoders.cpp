// The strip decoders: which rows are taken, the strips read for them, the
// samples turned into the bitmap's pixels, and the LZW and PackBits codes.

#include "raster/TiffDecoders.h"

#include "raster/TiffReader.h"

#include "mapdata/VykFunctions.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <new>

namespace raster {

namespace {

// ---- the page's strips -----------------------------------------------------------

struct Strips {
    std::int64_t imageWidth = 0, imageLength = 0;
    std::int64_t rowsPerStrip = 0;
    std::int64_t rowBytes = 0;   // R: one row of the file
    std::vector<std::uint32_t> offsets, counts;
};

Strips stripsOf(const TTIFFIFD &page)
{
    Strips s;
    std::vector<std::uint32_t> v;
    if (page.GetTag(tagImageWidth, v) == 0 || v.empty())
        throw TiffError(tiffStructureErrorText());
    s.imageWidth = v.front();
    s.imageLength = page.tagValue(tagImageLength, 0);
    const std::int64_t n = page.GetTag(tagStripOffsets, s.offsets);
    // RATIONAL tables give two values an entry: the two tables must still
    // pair up.
    if (n <= 0 || page.GetTag(tagStripByteCounts, s.counts) != n || s.counts.size() != s.offsets.size() ||
        page.GetTag(tagRowsPerStrip, v) != 1 || v.front() == 0)
        throw TiffError(tiffStructureErrorText());
    // A single strip often counts 2^32 - 1 rows: the strip holds no more
    // rows than the picture.
    s.rowsPerStrip = std::min<std::int64_t>(v.front(), std::max<std::int64_t>(s.imageLength, 1));
    s.rowBytes = (s.imageWidth * page.BitsPerPixel() + 7) / 8;
    return s;
}

// ---- pixels ---------------------------------------------------------------------

// How the samples of a page become the bitmap's pixels.
struct Layout {
    int photometric = 0;
    int bits = 0;           // b: bits per pixel in the file
    int outBits = 0;        // bits per pixel in the bitmap
    int reduce = 1;         // bytes of a file sample group kept as one byte (its last)
    int samples = 1;        // samples per pixel
};

Layout layoutOf(const TTIFFIFD &page)
{
    Layout l;
    l.photometric = page.Photometric();
    l.bits = page.BitsPerPixel();
    switch (l.photometric) {
    case phRgb:
    case phCieLab:
        l.outBits = 24;
        l.samples = 3;
        l.reduce = l.bits / 24;
        break;
    case phSeparated:
        l.outBits = 32;
        l.samples = 4;
        l.reduce = l.bits / 32;
        break;
    default:
        // 16-bit grey keeps the high byte of each sample.
        l.outBits = l.bits == 16 ? 8 : l.bits;
        l.reduce = l.bits == 16 ? 2 : 1;
        break;
    }
    return l;
}

// Undoes horizontal differencing (each sample, of 1 or 2 bytes little-endian,
// has the one `distance` samples before it added) over a row handed on in
// pieces that each start at a pixel's first sample: the last pixel's sums
// are carried from piece to piece, so that the bytes before a window need
// not be kept, and a piece of zeros (bytes a strip did not hold) repeats the
// last pixel.
class Undifferencing {
public:
    Undifferencing(int distance, int sampleBytes) : last_(static_cast<size_t>(distance), 0), sampleBytes_(sampleBytes)
    {
    }
    void restart() { std::fill(last_.begin(), last_.end(), 0u); }
    // The next `count` samples at p.
    void apply(std::uint8_t *p, std::int64_t count)
    {
        const auto d = static_cast<std::int64_t>(last_.size());
        if (sampleBytes_ == 1) {
            for (std::int64_t k = 0; k < std::min(d, count); ++k)
                p[k] = static_cast<std::uint8_t>(p[k] + last_[size_t(k)]);
            for (std::int64_t k = d; k < count; ++k)
                p[k] = static_cast<std::uint8_t>(p[k] + p[k - d]);
            for (std::int64_t k = std::max<std::int64_t>(0, count - d); k < count; ++k)
                last_[size_t(k % d)] = p[k];
            return;
        }
        auto at = [p](std::int64_t k) { return unsigned(p[2 * k]) | unsigned(p[2 * k + 1]) << 8; };
        auto put = [p](std::int64_t k, unsigned v) {
            p[2 * k] = static_cast<std::uint8_t>(v);
            p[2 * k + 1] = static_cast<std::uint8_t>(v >> 8);
        };
        for (std::int64_t k = 0; k < std::min(d, count); ++k)
            put(k, at(k) + last_[size_t(k)]);
        for (std::int64_t k = d; k < count; ++k)
            put(k, at(k) + at(k - d));
        for (std::int64_t k = std::max<std::int64_t>(0, count - d); k < count; ++k)
            last_[size_t(k % d)] = at(k);
    }

private:
    std::vector<unsigned> last_;
    int sampleBytes_;
};

// Keeps the last byte of every group of `reduce` bytes (the high byte of a
// little-endian 16-bit sample), front to back in place.
void reduceSamples(std::uint8_t *p, std::int64_t groups, int reduce)
{
    if (reduce <= 1)
        return;
    for (std::int64_t k = 0; k < groups; ++k)
        p[k] = p[k * reduce + reduce - 1];
}

// The window's pixels (already reduced) into the bitmap's order: RGB and
// CIELab to blue, green, red; CMYK to blue, green, red and 0.
void toBitmapOrder(std::uint8_t *p, std::int64_t pixels, const Layout &l)
{
    if (l.photometric == phRgb || l.photometric == phCieLab) {
        for (std::int64_t k = 0; k < pixels; ++k)
            std::swap(p[3 * k], p[3 * k + 2]);
    } else if (l.photometric == phSeparated) {
        for (std::int64_t k = 0; k < pixels; ++k) {
            std::uint8_t *q = p + 4 * k;
            const auto bgr = VykFunctions::InvertColorBytes({q[2], q[1], q[0]}, q[3]);
            q[0] = bgr[0];
            q[1] = bgr[1];
            q[2] = bgr[2];
            q[3] = 0;
        }
    }
}

// Shifts `bytes` bytes left by `shift` bits, each byte taking the high bits
// of the next (the byte after the last reads as 0).
void shiftLeft(std::uint8_t *p, std::int64_t bytes, int shift)
{
    if (shift == 0)
        return;
    for (std::int64_t k = 0; k < bytes; ++k) {
        const unsigned next = k + 1 < bytes ? p[k + 1] : 0;
        p[k] = static_cast<std::uint8_t>(p[k] << shift | next >> (8 - shift));
    }
}

// Copies the first `available` bytes of a converted row into a bitmap row:
// the window's bytes, the rest of the row zero.
void copyRow(Dib &bitmap, int j, const std::uint8_t *from, std::int64_t available)
{
    const std::int64_t used = std::min(available, (std::int64_t(bitmap.width()) * bitmap.bitCount() + 7) / 8);
    std::uint8_t *to = bitmap.row(j);
    if (used > 0)
        std::memcpy(to, from, static_cast<size_t>(used));
    std::memset(to + std::max<std::int64_t>(used, 0), 0, static_cast<size_t>(bitmap.stride() - std::max<std::int64_t>(used, 0)));
}

// ---- strip input --------------------------------------------------------------------

// The bytes of one strip, handed out in pieces.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The next piece; false when the strip has no more bytes.
    virtual bool refill(const std::uint8_t *&begin, const std::uint8_t *&end) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t *data, std::int64_t size) : data_(data), size_(std::max<std::int64_t>(size, 0)) {}
    bool refill(const std::uint8_t *&begin, const std::uint8_t *&end) override
    {
        if (given_ || size_ == 0)
            return false;
        given_ = true;
        begin = data_;
        end = data_ + size_;
        return true;
    }

private:
    const std::uint8_t *data_;
    std::int64_t size_;
    bool given_ = false;
};

// A strip read from the stream as it is decoded, in pieces of 256 KB, never
// past the file's end: a strip that is not wholly in the file ends where
// the file does.
class StreamSource : public ByteSource {
public:
    StreamSource(TiffStream &stream, std::int64_t offset, std::int64_t count)
        : stream_(stream), pos_(offset), left_(std::clamp<std::int64_t>(stream.size() - offset, 0, count))
    {
    }
    bool refill(const std::uint8_t *&begin, const std::uint8_t *&end) override
    {
        if (left_ <= 0)
            return false;
        const std::int64_t n = std::min<std::int64_t>(left_, kPiece);
        buffer_.resize(static_cast<size_t>(n));
        const std::int64_t got = stream_.readAt(pos_, reinterpret_cast<char *>(buffer_.data()), n);
        if (got <= 0) {
            left_ = 0;
            return false;
        }
        pos_ += got;
        left_ -= got;
        begin = buffer_.data();
        end = begin + got;
        return true;
    }

private:
    static constexpr std::int64_t kPiece = 256 * 1024;
    TiffStream &stream_;
    std::int64_t pos_;
    std::int64_t left_;
    std::vector<std::uint8_t> buffer_;
};

// ---- decoders that hand out a strip's bytes as asked -------------------------------

class StripDecoder {
public:
    explicit StripDecoder(ByteSource &source) : source_(source) {}
    virtual ~StripDecoder() = default;
    // Up to n decoded bytes into out; fewer only at the strip's end.
    virtual std::int64_t read(std::uint8_t *out, std::int64_t n) = 0;
    // Decodes n bytes and drops them; fewer only at the strip's end.
    std::int64_t skip(std::int64_t n)
    {
        std::uint8_t scratch[16384];
        std::int64_t done = 0;
        while (done < n) {
            const std::int64_t got = read(scratch, std::min<std::int64_t>(n - done, sizeof scratch));
            done += got;
            if (got == 0)
                break;
        }
        return done;
    }

protected:
    // The next input byte, or -1 at the strip's end.
    int nextByte()
    {
        if (p_ == end_ && !source_.refill(p_, end_))
            return -1;
        return *p_++;
    }
    ByteSource &source_;
    const std::uint8_t *p_ = nullptr;
    const std::uint8_t *end_ = nullptr;
};

class LzwDecoder : public StripDecoder {
public:
    explicit LzwDecoder(ByteSource &source) : StripDecoder(source)
    {
        for (int c = 0; c < 256; ++c) {
            prefix_[c] = 0;
            suffix_[c] = first_[c] = static_cast<std::uint8_t>(c);
            length_[c] = 1;
        }
    }

    std::int64_t read(std::uint8_t *out, std::int64_t n) override
    {
        std::int64_t o = 0;
        // What a string that did not fit left over.
        if (pendingAt_ < pendingEnd_) {
            const std::int64_t k = std::min<std::int64_t>(n, pendingEnd_ - pendingAt_);
            std::memcpy(out, pending_ + pendingAt_, static_cast<size_t>(k));
            pendingAt_ += static_cast<int>(k);
            o = k;
        }
        while (o < n && !ended_) {
            const int code = readCode();
            if (code == kEnd) {
                ended_ = true;
                break;
            }
            if (code == kClear) {
                next_ = kFirst;
                width_ = 9;
                old_ = -1;
                continue;
            }
            // A strip that does not begin with a clear code starts from the
            // table as a clear code leaves it.
            if (old_ < 0) {
                if (code >= next_)
                    throw TiffError(tiffCompressionErrorText());
            } else if (code < next_) {
                add(old_, first_[code]);
            } else if (code == next_) {
                add(old_, first_[old_]);
            } else {
                throw TiffError(tiffCompressionErrorText());
            }
            old_ = code;
            o += write(code, out + o, n - o);
        }
        return o;
    }

private:
    static constexpr int kClear = 256, kEnd = 257, kFirst = 258, kEntries = 4096;

    // Codes most significant bit first across the bytes; at the input's end
    // the code is the end code.
    int readCode()
    {
        while (held_ < width_) {
            const int b = nextByte();
            // A code cut short by the strip's end ends it.
            if (b < 0)
                return kEnd;
            bits_ = (bits_ << 8 | static_cast<unsigned>(b)) & 0xFFFFFFu;
            held_ += 8;
        }
        held_ -= width_;
        return static_cast<int>((bits_ >> held_) & ((1u << width_) - 1));
    }

    void add(int old, std::uint8_t byte)
    {
        if (old >= next_ || next_ >= kEntries)
            throw TiffError(tiffCompressionErrorText());
        prefix_[next_] = static_cast<std::uint16_t>(old);
        suffix_[next_] = byte;
        first_[next_] = first_[old];
        length_[next_] = static_cast<std::uint16_t>(length_[old] + 1);
        // One code early, as TIFF's LZW switches.
        if (next_ == 510)
            width_ = 10;
        else if (next_ == 1022)
            width_ = 11;
        else if (next_ == 2046)
            width_ = 12;
        ++next_;
    }

    // The code's string into out (room bytes); what does not fit waits.
    std::int64_t write(int code, std::uint8_t *out, std::int64_t room)
    {
        const int len = length_[code];
        std::uint8_t *to = len <= room ? out : pending_;
        int c = code;
        for (int k = len; k-- > 0;) {
            to[k] = suffix_[c];
            c = prefix_[c];
        }
        if (len <= room)
            return len;
        std::memcpy(out, pending_, static_cast<size_t>(room));
        pendingAt_ = static_cast<int>(room);
        pendingEnd_ = len;
        return room;
    }

    std::uint16_t prefix_[kEntries];
    std::uint8_t suffix_[kEntries];
    std::uint8_t first_[kEntries];
    std::uint16_t length_[kEntries];
    int next_ = kFirst;
    int width_ = 9;
    int old_ = -1;
    std::uint32_t bits_ = 0;
    int held_ = 0;
    bool ended_ = false;
    std::uint8_t pending_[kEntries];
    int pendingAt_ = 0, pendingEnd_ = 0;
};

class PackBitsDecoder : public StripDecoder {
public:
    using StripDecoder::StripDecoder;

    std::int64_t read(std::uint8_t *out, std::int64_t n) override
    {
        std::int64_t o = 0;
        while (o < n) {
            if (literal_ > 0) {
                const int b = nextByte();
                if (b < 0)
                    break;
                out[o++] = static_cast<std::uint8_t>(b);
                --literal_;
            } else if (repeat_ > 0) {
                const std::int64_t k = std::min<std::int64_t>(repeat_, n - o);
                std::memset(out + o, value_, static_cast<size_t>(k));
                o += k;
                repeat_ -= static_cast<int>(k);
            } else {
                const int c = nextByte();
                if (c < 0)
                    break;
                const int control = static_cast<std::int8_t>(c);
                if (control >= 0) {
                    literal_ = control + 1;
                } else if (control != -128) {
                    const int b = nextByte();
                    if (b < 0)
                        break;
                    value_ = static_cast<std::uint8_t>(b);
                    repeat_ = 1 - control;
                }
            }
        }
        return o;
    }

private:
    int literal_ = 0;
    int repeat_ = 0;
    std::uint8_t value_ = 0;
};

std::int64_t saturatingProduct(std::int64_t a, std::int64_t b)
{
    const __int128 p = static_cast<__int128>(a) * b;
    return p > INT64_MAX ? INT64_MAX : static_cast<std::int64_t>(p);
}

// LZW and PackBits: each strip that holds taken rows is decoded as far as
// its last taken row, row by row (so a strip of any size takes the memory
// of a row); each taken row is converted and copied.
template <class Decoder>
void decodeCompressed(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    // Colour samples of 8 or 16 bits only.
    const int p = page.Photometric(), b = page.BitsPerPixel();
    if (((p == phRgb || p == phCieLab) && b != 24 && b != 48) || (p == phSeparated && b != 32 && b != 64))
        throw TiffError(tiffFormatErrorText());
    const Strips s = stripsOf(page);
    const Layout l = layoutOf(page);
    // Horizontal differencing is undone where the page says so (samples of
    // whole bytes).
    const bool predictor = page.tagValue(tagPredictor, 1) == 2;
    const bool colour = l.photometric == phRgb || l.photometric == phCieLab || l.photometric == phSeparated;
    const bool grey = l.photometric == phWhiteIsZero || l.photometric == phBlackIsZero;
    const bool undo = predictor && (colour || (grey && l.bits >= 8));
    const int sampleBytes = colour ? l.bits / 8 / l.samples : (l.bits >= 8 ? l.bits / 8 : 1);

    TiffStream &stream = page.Stream();
    const std::int64_t n = static_cast<std::int64_t>(s.offsets.size());
    const std::vector<std::int64_t> rows = takenRows(window.height, bitmap.height());
    const std::int64_t pixelBytes = l.outBits / 8;   // 0 for bit-packed rows
    const int shift = pixelBytes ? 0 : static_cast<int>(window.left * l.bits % 8);
    // The bytes of a row before the window and the window's own, and 8 more
    // the shift and the reduction may read. Only the window's bytes are
    // kept: those before it are decoded through the differencing's sums, or
    // skipped.
    const std::int64_t rightPixel = window.left + window.width;
    const std::int64_t needed = std::min(s.rowBytes, (rightPixel * l.bits + 7) / 8);
    const std::int64_t lead = window.left * l.bits / 8;
    const std::int64_t windowBytes = needed - lead;
    std::vector<std::uint8_t> row, piece;
    try {
        row.resize(static_cast<size_t>(windowBytes + 8));
        if (undo)
            piece.resize(static_cast<size_t>(l.samples * sampleBytes * 4096));
    } catch (const std::exception &) {
        throw TiffError(tiffFormatErrorText());
    }
    Undifferencing sums(l.samples, sampleBytes);
    // The bytes before the window through the sums; false at the strip's end.
    auto leadThroughSums = [&](StripDecoder &decoder) {
        for (std::int64_t done = 0; done < lead;) {
            const std::int64_t want = std::min<std::int64_t>(lead - done, static_cast<std::int64_t>(piece.size()));
            const std::int64_t got = decoder.read(piece.data(), want);
            if (got % sampleBytes)
                piece[size_t(got)] = 0;
            sums.apply(piece.data(), (got + sampleBytes - 1) / sampleBytes);
            done += got;
            if (got < want)
                return false;
        }
        return true;
    };

    size_t j = 0;
    while (j < rows.size()) {
        const std::int64_t w = (window.top + rows[j]) / s.rowsPerStrip;
        if (w >= n)
            return;
        StreamSource source(stream, s.offsets[size_t(w)], s.counts[size_t(w)]);
        Decoder decoder(source);
        std::int64_t at = w * s.rowsPerStrip;   // the strip's next row
        bool ended = false;
        for (; j < rows.size() && (window.top + rows[j]) / s.rowsPerStrip == w; ++j) {
            const std::int64_t y = window.top + rows[j];
            std::int64_t got = 0;
            sums.restart();
            if (!ended) {
                const std::int64_t before = saturatingProduct(y - at, s.rowBytes);
                ended = decoder.skip(before) < before;
                if (!ended)
                    ended = undo ? !leadThroughSums(decoder) : decoder.skip(lead) < lead;
                if (!ended) {
                    got = decoder.read(row.data(), windowBytes);
                    ended = got < windowBytes || decoder.skip(s.rowBytes - needed) < s.rowBytes - needed;
                }
            }
            at = y + 1;
            // What the strip does not hold reads as 0.
            std::fill(row.begin() + got, row.end(), std::uint8_t(0));
            std::uint8_t *p = row.data();
            if (undo)
                sums.apply(p, window.width * l.samples);
            if (pixelBytes) {
                reduceSamples(p, window.width * l.samples, l.reduce);
                toBitmapOrder(p, window.width, l);
                copyRow(bitmap, static_cast<int>(j), p, window.width * pixelBytes);
            } else {
                shiftLeft(p, windowBytes + 1, shift);
                copyRow(bitmap, static_cast<int>(j), p, windowBytes);
            }
        }
    }
}
} // namespace

bool rowTaken(std::int64_t i, std::int64_t j, std::int64_t windowHeight, std::int64_t bitmapHeight)
{
    // j / i <= bitmapHeight / windowHeight, in whole numbers.
    return i == 0 || j == 0 || static_cast<__int128>(j) * windowHeight <= static_cast<__int128>(i) * bitmapHeight;
}

std::vector<std::int64_t> takenRows(std::int64_t windowHeight, std::int64_t bitmapHeight)
{
    std::vector<std::int64_t> rows;
    if (bitmapHeight <= 0 || windowHeight <= 0)
        return rows;
    rows.reserve(static_cast<size_t>(std::min(bitmapHeight, windowHeight)));
    for (std::int64_t i = 0; i < windowHeight && static_cast<std::int64_t>(rows.size()) < bitmapHeight; ++i)
        if (rowTaken(i, static_cast<std::int64_t>(rows.size()), windowHeight, bitmapHeight))
            rows.push_back(i);
    return rows;
}

void DecodeUncompressedRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    const Strips s = stripsOf(page);
    const Layout l = layoutOf(page);
    TiffStream &stream = page.Stream();
    const std::int64_t n = static_cast<std::int64_t>(s.offsets.size());
    const std::int64_t readLength = (window.width * l.bits + 7) / 8 + 2;
    const std::int64_t windowOffset = l.bits * window.left / 8;
    const int shift = static_cast<int>(l.bits * window.left % 8);
    // The row read, and what the bitmap row takes of it.
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<size_t>(std::max(readLength, bitmap.stride())));
        const std::vector<std::int64_t> rows = takenRows(window.height, bitmap.height());
        std::int64_t k = 0;
        for (size_t j = 0; j < rows.size(); ++j) {
            const std::int64_t y = window.top + rows[j];
            while ((k + 1) * s.rowsPerStrip <= y)
                ++k;
            if (k >= n)
                return;
            const std::int64_t at = s.offsets[size_t(k)] + (y - k * s.rowsPerStrip) * s.rowBytes + windowOffset;
            // What the file does not hold reads as 0; nothing past its end
            // is asked for.
            const std::int64_t inFile = std::clamp<std::int64_t>(stream.size() - at, 0, readLength);
            const std::int64_t got =
                inFile > 0 ? stream.readAt(at, reinterpret_cast<char *>(buffer.data()), inFile) : 0;
            std::fill(buffer.begin() + std::max<std::int64_t>(got, 0), buffer.end(), std::uint8_t(0));
            std::uint8_t *row = buffer.data();
            if (l.outBits >= 8) {
                reduceSamples(row, window.width * l.samples, l.reduce);
                toBitmapOrder(row, window.width, l);
                copyRow(bitmap, static_cast<int>(j), row, window.width * l.outBits / 8);
            } else {
                shiftLeft(row, readLength, shift);
                copyRow(bitmap, static_cast<int>(j), row, readLength);
            }
        }
    } catch (const std::exception &) {
        // An error inside the rows ends the decoding; the rows made stay.
    }
}

void DecodeLzwRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    decodeCompressed<LzwDecoder>(page, bitmap, window);
}

void DecodePackBitsRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    decodeCompressed<PackBitsDecoder>(page, bitmap, window);
}

// ---- one strip in memory -----------------------------------------------------------

std::int64_t LzwDecodeStrip(const std::uint8_t *in, std::int64_t inLength, std::uint8_t *out, std::int64_t capacity)
{
    MemorySource source(in, inLength);
    LzwDecoder decoder(source);
    return decoder.read(out, capacity);
}

std::int64_t PackBitsDecodeStrip(const std::uint8_t *in, std::int64_t inLength, std::uint8_t *out,
                                 std::int64_t capacity)
{
    MemorySource source(in, inLength);
    PackBitsDecoder decoder(source);
    return decoder.read(out, capacity);
}

} // namespace raster
