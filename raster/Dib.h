#pragma once
// A device-independent bitmap as the raster readers fill it: rows top-down,
// each a multiple of 4 bytes, of 1, 4, 8, 16, 24 or 32 bits per pixel
// (colours in blue, green, red order; 32 bits: blue, green, red and a
// fourth byte), with a colour table for 8 bits and fewer.

#include <QImage>

#include <cstdint>
#include <vector>

namespace raster {

class Dib {
public:
    Dib() = default;
    // A zero-filled bitmap; false (and an empty one) when its size is no
    // bitmap's or its memory cannot be had.
    bool create(int width, int height, int bitCount);

    int width() const { return width_; }
    int height() const { return height_; }
    int bitCount() const { return bitCount_; }
    // Bytes of a row: width × bits rounded up to whole 32-bit words.
    std::int64_t stride() const { return stride_; }
    static std::int64_t strideFor(std::int64_t width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }
    bool isNull() const { return bits_.empty(); }

    std::uint8_t *row(int y) { return bits_.data() + y * stride_; }
    const std::uint8_t *row(int y) const { return bits_.data() + y * stride_; }

    // The colour table: 0xRRGGBB per entry.
    std::vector<std::uint32_t> &colors() { return colors_; }
    const std::vector<std::uint32_t> &colors() const { return colors_; }

    // The bitmap as a picture of 32-bit colours, `targetWidth` columns wide
    // (the bitmap's own width when 0 or more than it): fewer columns are
    // picked nearest-neighbour, each from the middle of its share of the
    // bitmap's columns, as a stretch would pick them. A 16-bit bitmap reads
    // as 5-5-5 colours, indices beyond the colour table as black.
    QImage toImage(int targetWidth = 0) const;

private:
    int width_ = 0, height_ = 0, bitCount_ = 0;
    std::int64_t stride_ = 0;
    std::vector<std::uint8_t> bits_;
    std::vector<std::uint32_t> colors_;
};

} // namespace raster
