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
// pieces of any length: the running sums and the place in the pixel are
// carried from piece to piece, so that the bytes before a window need not be
// kept (only summed), and bytes of zeros (those a strip did not hold) repeat
// the last pixel.
class Undifferencing {
public:
    Undifferencing(int distance, int sampleBytes)
        : last_(static_cast<size_t>(distance), 0), distance_(distance), sampleBytes_(sampleBytes)
    {
    }
    void restart()
    {
        std::fill(last_.begin(), last_.end(), 0u);
        phase_ = 0;
    }
    // The next n bytes of the row, only summed.
    void add(const std::uint8_t *in, std::int64_t n) { run<false>(in, nullptr, n); }
    // The next n bytes of the row from `in`, undone into `out` (which may be `in`).
    void undo(const std::uint8_t *in, std::uint8_t *out, std::int64_t n) { run<true>(in, out, n); }
    // Completes a pixel cut short by the strip's end with zeros.
    void finishPixel()
    {
        static constexpr std::uint8_t zero = 0;
        while (phase_ != 0)
            run<false>(&zero, nullptr, 1);
    }

private:
    template <bool Store>
    void run(const std::uint8_t *in, std::uint8_t *out, std::int64_t n)
    {
        std::int64_t k = 0;
        if (sampleBytes_ == 1) {
            // Up to a pixel's first sample, the whole pixels with the sums
            // held in registers, then what is left.
            for (; k < n && phase_ != 0; ++k)
                step8<Store>(in, out, k);
            if (!Store && (distance_ == 3 || distance_ == 4 || distance_ == 1))
                k = sumBlocks(in, k, n);
            if (distance_ == 3)
                k = pixels8<Store, 3>(in, out, k, n);
            else if (distance_ == 4)
                k = pixels8<Store, 4>(in, out, k, n);
            else if (distance_ == 1)
                k = pixels8<Store, 1>(in, out, k, n);
            for (; k < n; ++k)
                step8<Store>(in, out, k);
            return;
        }
        // Two bytes a sample: the low byte's carry goes into the high byte.
        for (; k < n; ++k) {
            unsigned &sum = last_[size_t(phase_ / 2)];
            if (phase_ % 2 == 0) {
                const unsigned t = (sum & 0xFF) + in[k];
                low_ = t & 0xFF;
                carry_ = t >> 8;
                if (Store)
                    out[k] = static_cast<std::uint8_t>(t);
            } else {
                const unsigned h = ((sum >> 8) + in[k] + carry_) & 0xFF;
                sum = h << 8 | low_;
                if (Store)
                    out[k] = static_cast<std::uint8_t>(h);
            }
            phase_ = phase_ + 1 == 2 * distance_ ? 0 : phase_ + 1;
        }
    }

    template <bool Store>
    void step8(const std::uint8_t *in, std::uint8_t *out, std::int64_t k)
    {
        unsigned &sum = last_[size_t(phase_)];
        sum = (sum + in[k]) & 0xFF;
        if (Store)
            out[k] = static_cast<std::uint8_t>(sum);
        phase_ = phase_ + 1 == distance_ ? 0 : phase_ + 1;
    }

    // Only the sums of one-byte samples, 48 bytes (whole pixels of 1, 3 or
    // 4 samples) at a time: a byte sum for each place in the block (the
    // sums are kept to a byte anyway), which the compiler keeps in vector
    // registers, folded into the pixel's sums at the end; where the blocks
    // end.
    std::int64_t sumBlocks(const std::uint8_t *in, std::int64_t k, std::int64_t n)
    {
        constexpr int kBlock = 48;
        std::uint8_t place[kBlock] = {};
        for (; k + kBlock <= n; k += kBlock)
            for (int i = 0; i < kBlock; ++i)
                place[i] = static_cast<std::uint8_t>(place[i] + in[k + i]);
        for (int i = 0; i < kBlock; ++i)
            last_[size_t(i % distance_)] += place[i];
        for (unsigned &sum : last_)
            sum &= 0xFF;
        return k;
    }

    // Whole pixels of D one-byte samples from k; where they end.
    template <bool Store, int D>
    std::int64_t pixels8(const std::uint8_t *in, std::uint8_t *out, std::int64_t k, std::int64_t n)
    {
        // Sums wrap around as bytes do: only their low bytes are kept.
        unsigned sum[D];
        for (int c = 0; c < D; ++c)
            sum[c] = last_[size_t(c)];
        for (; k + D <= n; k += D) {
            for (int c = 0; c < D; ++c) {
                sum[c] += in[k + c];
                if (Store)
                    out[k + c] = static_cast<std::uint8_t>(sum[c]);
            }
        }
        for (int c = 0; c < D; ++c)
            last_[size_t(c)] = sum[c] & 0xFF;
        return k;
    }

    std::vector<unsigned> last_;
    int distance_;
    int sampleBytes_;
    int phase_ = 0; // the byte's place in its pixel
    unsigned low_ = 0, carry_ = 0;
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
    // The next decoded bytes where the decoder holds them, at most `max`,
    // valid until the decoder is called again; 0 only at the strip's end.
    virtual std::int64_t view(const std::uint8_t *&p, std::int64_t max) = 0;
    // Up to n decoded bytes into out; fewer only at the strip's end.
    virtual std::int64_t read(std::uint8_t *out, std::int64_t n)
    {
        return feed(n, [out](const std::uint8_t *p, std::int64_t k, std::int64_t done) {
            std::memcpy(out + done, p, static_cast<size_t>(k));
        });
    }
    // Decodes n bytes and drops them; fewer only at the strip's end.
    std::int64_t skip(std::int64_t n)
    {
        return feed(n, [](const std::uint8_t *, std::int64_t, std::int64_t) {});
    }
    // Hands the next n decoded bytes (fewer only at the strip's end) to
    // use(bytes, count, bytes handed before) piece by piece; the bytes handed.
    template <class Use>
    std::int64_t feed(std::int64_t n, Use use)
    {
        std::int64_t done = 0;
        while (done < n) {
            const std::uint8_t *p = nullptr;
            const std::int64_t got = view(p, n - done);
            if (got == 0)
                break;
            use(p, got, done);
            done += got;
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

// The strings of the codes are not kept in the table: each is where it was
// last written in the decoded bytes since the last clear code (the
// history), and a new code's string is the previous code's string there
// plus the byte after it, so that a code's string is one copy.
class LzwDecoder : public StripDecoder {
public:
    explicit LzwDecoder(ByteSource &source) : StripDecoder(source) {}

    std::int64_t view(const std::uint8_t *&p, std::int64_t max) override
    {
        if (outAt_ == histEnd_)
            decode(std::min<std::int64_t>(max, kPiece));
        const std::int64_t k = std::min<std::int64_t>(max, static_cast<std::int64_t>(histEnd_ - outAt_));
        p = history_.data() + outAt_;
        outAt_ += static_cast<size_t>(k);
        return k;
    }

private:
    static constexpr int kClear = 256, kEnd = 257, kFirst = 258, kEntries = 4096;
    // Decoded at a time as asked; the copies of strings may write this far
    // past their end.
    static constexpr std::int64_t kPiece = 64 * 1024;
    static constexpr size_t kSlack = 16;

    // Decodes codes until `want` bytes wait to be handed out, or to the end.
    void decode(std::int64_t want)
    {
        while (static_cast<std::int64_t>(histEnd_ - outAt_) < want && !ended_) {
            const int code = readCode();
            if (code == kEnd) {
                ended_ = true;
                break;
            }
            if (code == kClear) {
                next_ = kFirst;
                width_ = 9;
                old_ = -1;
                histStart_ = histEnd_;
                continue;
            }
            // A strip that does not begin with a clear code starts from the
            // table as a clear code leaves it.
            if (old_ < 0 ? code >= next_ : (code > next_ || next_ >= kEntries))
                throw TiffError(tiffCompressionErrorText());
            int length = 1;
            if (code < 256) {
                makeRoom(1);
                history_[histEnd_] = static_cast<std::uint8_t>(code);
            } else if (code < next_) {
                length = length_[code];
                makeRoom(static_cast<size_t>(length));
                copy(history_.data() + histStart_ + offset_[code], history_.data() + histEnd_, length);
            } else {
                // The code being defined: the previous string and its own
                // first byte, which the copy reaches as it writes it.
                length = lastLength_ + 1;
                makeRoom(static_cast<size_t>(length));
                const std::uint8_t *from = history_.data() + histStart_ + lastOffset_;
                std::uint8_t *to = history_.data() + histEnd_;
                if (lastLength_ >= static_cast<int>(kSlack))
                    copy(from, to, length);
                else
                    for (int k = 0; k < length; ++k)
                        to[k] = from[k];
            }
            if (old_ >= 0) {
                offset_[next_] = lastOffset_;
                length_[next_] = static_cast<std::uint16_t>(lastLength_ + 1);
                // One code early, as TIFF's LZW switches.
                if (next_ == 510)
                    width_ = 10;
                else if (next_ == 1022)
                    width_ = 11;
                else if (next_ == 2046)
                    width_ = 12;
                ++next_;
            }
            lastOffset_ = static_cast<std::uint32_t>(histEnd_ - histStart_);
            lastLength_ = length;
            histEnd_ += static_cast<size_t>(length);
            old_ = code;
        }
    }

    // Copies `length` bytes in pieces of 16, up to 15 bytes past the end,
    // reading as far past the source's: the source ends before `to`, or
    // (the code being defined) at least 16 bytes before it.
    // Each piece is read whole before it is written: its bytes past the
    // source's end may be the destination's first.
    static void copy(const std::uint8_t *from, std::uint8_t *to, int length)
    {
        for (int k = 0; k < length; k += static_cast<int>(kSlack)) {
            std::uint8_t piece[kSlack];
            std::memcpy(piece, from + k, kSlack);
            std::memcpy(to + k, piece, kSlack);
        }
    }

    // Room for `length` more bytes and the slack: the bytes handed out and
    // the history before the last clear code dropped first.
    void makeRoom(size_t length)
    {
        if (histEnd_ + length + kSlack <= history_.size())
            return;
        const size_t keep = std::min(outAt_, histStart_);
        if (keep > 0) {
            std::memmove(history_.data(), history_.data() + keep, histEnd_ - keep);
            outAt_ -= keep;
            histStart_ -= keep;
            histEnd_ -= keep;
        }
        if (histEnd_ + length + kSlack > history_.size())
            history_.resize(std::max({history_.size() * 2, histEnd_ + length + kSlack, size_t(kPiece) + kSlack}));
    }

    // Codes most significant bit first across the bytes, read into a
    // 64-bit buffer 6 or 7 bytes at a time; at the input's end the code is
    // the end code.
    int readCode()
    {
        if (held_ < width_ && !refill())
            return kEnd;
        const int code = static_cast<int>(bits_ >> (64 - width_));
        bits_ <<= width_;
        held_ -= width_;
        return code;
    }

    bool refill()
    {
        if (end_ - p_ >= 8) {
            // The bits below the ones taken are those of the bytes that
            // follow, which the next refill puts in the same places.
            std::uint64_t v = 0;
            for (int k = 0; k < 8; ++k)
                v = v << 8 | p_[k];
            bits_ |= v >> held_;
            const int bytes = (63 - held_) >> 3;
            p_ += bytes;
            held_ += 8 * bytes;
            return true;
        }
        while (held_ < width_) {
            const int b = nextByte();
            // A code cut short by the strip's end ends it.
            if (b < 0)
                return false;
            bits_ |= static_cast<std::uint64_t>(b) << (56 - held_);
            held_ += 8;
        }
        return true;
    }

    std::uint32_t offset_[kEntries]; // from histStart_
    std::uint16_t length_[kEntries];
    int next_ = kFirst;
    int width_ = 9;
    int old_ = -1;
    std::uint32_t lastOffset_ = 0; // the previous code's string, from histStart_
    int lastLength_ = 0;
    std::uint64_t bits_ = 0;
    int held_ = 0;
    bool ended_ = false;
    // The decoded bytes: those not yet handed out from outAt_, the history
    // since the last clear code from histStart_, their end at histEnd_.
    std::vector<std::uint8_t> history_;
    size_t outAt_ = 0, histStart_ = 0, histEnd_ = 0;
};

class PackBitsDecoder : public StripDecoder {
public:
    using StripDecoder::StripDecoder;

    std::int64_t view(const std::uint8_t *&p, std::int64_t max) override
    {
        p = scratch_;
        return read(scratch_, std::min<std::int64_t>(max, sizeof scratch_));
    }

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
    std::uint8_t scratch_[16384];
};

std::int64_t saturatingProduct(std::int64_t a, std::int64_t b)
{
    const __int128 p = static_cast<__int128>(a) * b;
    return p > INT64_MAX ? INT64_MAX : static_cast<std::int64_t>(p);
}

// LZW and PackBits: each strip that holds taken rows is decoded as far as
// its last taken row, row by row (so a strip of any size takes the memory
// of a row, and LZW's history, at most the strings of one table); each
// taken row is converted and copied.
template <class Decoder>
bool decodeCompressed(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
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
    std::vector<std::uint8_t> row;
    try {
        row.resize(static_cast<size_t>(windowBytes + 8));
    } catch (const std::exception &) {
        throw TiffError(tiffFormatErrorText());
    }
    Undifferencing sums(l.samples, sampleBytes);
    // The bytes before the window only summed; false at the strip's end.
    auto leadThroughSums = [&](Decoder &decoder) {
        const bool whole =
            decoder.feed(lead, [&](const std::uint8_t *q, std::int64_t k, std::int64_t) { sums.add(q, k); }) == lead;
        if (!whole)
            sums.finishPixel();
        return whole;
    };

    size_t j = 0;
    bool held = true;
    while (j < rows.size()) {
        const std::int64_t w = (window.top + rows[j]) / s.rowsPerStrip;
        if (w >= n)
            return false;
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
                    // The window's bytes undone as they come out of the decoder.
                    std::uint8_t *to = row.data();
                    got = undo ? decoder.feed(windowBytes,
                                              [&](const std::uint8_t *q, std::int64_t k, std::int64_t done) {
                                                  sums.undo(q, to + done, k);
                                              })
                               : decoder.read(to, windowBytes);
                    // The rest of the row only when a later row of the strip is taken.
                    const bool more = j + 1 < rows.size() && (window.top + rows[j + 1]) / s.rowsPerStrip == w;
                    ended = got < windowBytes || (more && decoder.skip(s.rowBytes - needed) < s.rowBytes - needed);
                }
            }
            if (got < windowBytes)
                held = false;
            at = y + 1;
            // What the strip does not hold reads as 0.
            std::fill(row.begin() + got, row.end(), std::uint8_t(0));
            std::uint8_t *p = row.data();
            if (undo)
                sums.undo(p + got, p + got, windowBytes - got);
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
    return held;
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
    // Row j is the first row at or after the one taken before it where
    // j / i <= bitmapHeight / windowHeight: i = ceil(j * windowHeight /
    // bitmapHeight). Found directly, not by visiting every row of the
    // window, which a page may count in billions.
    std::int64_t i = 0;
    for (std::int64_t j = 0; j < bitmapHeight; ++j) {
        if (j > 0) {
            const __int128 n = static_cast<__int128>(j) * windowHeight;
            i = std::max<std::int64_t>(i + 1, static_cast<std::int64_t>((n + bitmapHeight - 1) / bitmapHeight));
        }
        if (i >= windowHeight)
            break;
        rows.push_back(i);
    }
    return rows;
}

bool DecodeUncompressedRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    const Strips s = stripsOf(page);
    const Layout l = layoutOf(page);
    TiffStream &stream = page.Stream();
    const std::int64_t n = static_cast<std::int64_t>(s.offsets.size());
    const std::int64_t readLength = (window.width * l.bits + 7) / 8 + 2;
    const std::int64_t windowOffset = l.bits * window.left / 8;
    const int shift = static_cast<int>(l.bits * window.left % 8);
    // The bytes of a row the window's pixels lie in: those the file must
    // hold (the rest of what is read may lie past the last row's end).
    const std::int64_t rowLength = std::min(s.rowBytes - windowOffset, (shift + window.width * l.bits + 7) / 8);
    // The row read, and what the bitmap row takes of it.
    std::vector<std::uint8_t> buffer;
    bool whole = true;
    try {
        const std::vector<std::int64_t> rows = takenRows(window.height, bitmap.height());
        // A page whose strip table ends before the window's first row holds
        // none of it: nothing is read, however many rows the page counts.
        if (rows.empty() || (window.top + rows.front()) / s.rowsPerStrip >= n)
            return rows.empty();
        buffer.resize(static_cast<size_t>(std::max(readLength, bitmap.stride())));
        for (size_t j = 0; j < rows.size(); ++j) {
            const std::int64_t y = window.top + rows[j];
            // The strip that holds the row, found at once.
            const std::int64_t k = y / s.rowsPerStrip;
            if (k >= n)
                return false;
            const std::int64_t at = s.offsets[size_t(k)] + (y - k * s.rowsPerStrip) * s.rowBytes + windowOffset;
            // What the file does not hold reads as 0; nothing past its end
            // is asked for.
            const std::int64_t inFile = std::clamp<std::int64_t>(stream.size() - at, 0, readLength);
            const std::int64_t got =
                inFile > 0 ? stream.readAt(at, reinterpret_cast<char *>(buffer.data()), inFile) : 0;
            if (got < rowLength)
                whole = false;
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
        return false;
    }
    return whole;
}

bool DecodeLzwRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    return decodeCompressed<LzwDecoder>(page, bitmap, window);
}

bool DecodePackBitsRegion(const TTIFFIFD &page, Dib &bitmap, const DecodeWindow &window)
{
    return decodeCompressed<PackBitsDecoder>(page, bitmap, window);
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
