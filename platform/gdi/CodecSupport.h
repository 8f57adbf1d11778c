#pragma once
// Byte-level helpers of the metafile codecs: little-endian writing with
// patched sizes, bounds-checked reading, and device-independent bitmaps.

#include "platform/ByteOrder.h"
#include "platform/gdi/Metafile.h"

#include <QByteArray>
#include <QImage>

#include <bit>
#include <cstdint>
#include <optional>

namespace platform::gdi::codec {

class Writer {
public:
    QByteArray bytes;
    qsizetype size() const { return bytes.size(); }
    void u8(std::uint8_t v) { bytes.append(static_cast<char>(v)); }
    void u16(std::uint32_t v)
    {
        char b[2];
        le::put16(b, static_cast<std::uint16_t>(v));
        bytes.append(b, 2);
    }
    void i16(int v) { u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
    void u32(std::uint32_t v)
    {
        char b[4];
        le::put32(b, v);
        bytes.append(b, 4);
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void zeros(qsizetype n) { bytes.append(n, '\0'); }
    void raw(const QByteArray &b) { bytes.append(b); }
    void pad4()
    {
        while (bytes.size() % 4)
            u8(0);
    }
    void pad2()
    {
        if (bytes.size() % 2)
            u8(0);
    }
    void put32(qsizetype at, std::uint32_t v) { le::put32(bytes, at, v); }
    void put16(qsizetype at, std::uint32_t v) { le::put16(bytes, at, static_cast<std::uint16_t>(v)); }
};

// Reads at offsets relative to a window of the data; every read is checked.
class Reader {
public:
    Reader(const QByteArray &data, qsizetype begin, qsizetype end) : d_(data), begin_(begin), end_(end) {}
    qsizetype length() const { return end_ - begin_; }
    bool has(qsizetype offset, qsizetype n) const { return offset >= 0 && n >= 0 && offset <= length() - n; }
    std::uint32_t u8(qsizetype o) const { return has(o, 1) ? static_cast<std::uint8_t>(d_[begin_ + o]) : 0; }
    std::uint32_t u16(qsizetype o) const { return has(o, 2) ? le::u16(d_, begin_ + o) : 0; }
    int i16(qsizetype o) const { return static_cast<std::int16_t>(u16(o)); }
    std::uint32_t u32(qsizetype o) const { return has(o, 4) ? le::u32(d_, begin_ + o) : 0; }
    std::int32_t i32(qsizetype o) const { return static_cast<std::int32_t>(u32(o)); }
    float f32(qsizetype o) const { return std::bit_cast<float>(u32(o)); }
    QByteArray bytes(qsizetype o, qsizetype n) const { return has(o, n) ? d_.mid(begin_ + o, n) : QByteArray(); }
    qsizetype absolute(qsizetype o) const { return begin_ + o; }

private:
    const QByteArray &d_;
    qsizetype begin_;
    qsizetype end_;
};

// A 24-bit bottom-up bitmap: the 40-byte header and the rows.
struct Dib {
    QByteArray header;
    QByteArray bits;
};
Dib encodeDib(const QImage &image);
// Decodes a bitmap header (with colour table) and bits; nullopt when damaged.
std::optional<QImage> decodeDib(const QByteArray &header, const QByteArray &bits, int usage = 0);
// The header's byte size including the colour table, from the header bytes;
// -1 when it cannot be.
qsizetype dibHeaderSize(const Reader &r, qsizetype offset, qsizetype available);
qsizetype dibBitsSize(const QByteArray &header);

// A logical pen's style as stored: its low four bits, solid beyond the
// inside frame.
int logPenStyle(std::uint32_t style);
// A logical brush as stored: a style other than clear or hatched is solid,
// a hatch beyond the diagonal cross is that cross.
Brush logBrush(std::uint32_t style, std::uint32_t color, std::uint32_t hatch);
// The eight byte fields of a logical font, italic to pitch and family, which
// both formats store alike after the font's sizes and weight.
void writeFontBytes(Writer &w, const LogFont &f);
void readFontBytes(const Reader &r, qsizetype offset, LogFont &f);

// The objects a stock index stands for.
Pen stockPen(std::uint32_t index);
Brush stockBrush(std::uint32_t index);

} // namespace platform::gdi::codec
