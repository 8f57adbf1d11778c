// The readers' bitmap and its picture.

#include "raster/Dib.h"

#include "platform/ByteOrder.h"

#include <algorithm>
#include <new>

namespace raster {

namespace {

// The largest bitmap the readers make: a window is at most as tall as the
// output and as wide as a picture row.
constexpr std::int64_t kMaxBytes = std::int64_t(1) << 31;

} // namespace

bool Dib::create(int width, int height, int bitCount)
{
    *this = Dib();
    if (width <= 0 || height <= 0)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    const std::int64_t stride = strideFor(width, bitCount);
    if (stride > kMaxBytes / height)
        return false;
    try {
        bits_.assign(static_cast<size_t>(stride * height), 0);
    } catch (const std::bad_alloc &) {
        bits_.clear();
        return false;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    stride_ = stride;
    return true;
}

QImage Dib::toImage(int targetWidth) const
{
    if (isNull())
        return QImage();
    const int w = targetWidth > 0 && targetWidth < width_ ? targetWidth : width_;
    QImage image(w, height_, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    // The column of the bitmap each picture column takes: the middle of its
    // share, as a nearest-neighbour stretch takes it.
    std::vector<int> column(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        column[static_cast<size_t>(x)] =
            w == width_ ? x : std::min(width_ - 1, static_cast<int>((2 * std::int64_t(x) + 1) * width_ / (2 * w)));
    std::vector<std::uint32_t> table(256, 0xFF000000u);
    for (size_t i = 0; i < colors_.size() && i < table.size(); ++i)
        table[i] = 0xFF000000u | (colors_[i] & 0xFFFFFFu);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t *s = row(y);
        auto *d = reinterpret_cast<QRgb *>(image.scanLine(y));
        switch (bitCount_) {
        case 32:
            for (int x = 0; x < w; ++x) {
                const std::uint8_t *p = s + 4 * column[static_cast<size_t>(x)];
                d[x] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x) {
                const std::uint8_t *p = s + 3 * column[static_cast<size_t>(x)];
                d[x] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            }
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                const std::uint8_t *p = s + 2 * column[static_cast<size_t>(x)];
                const unsigned v = platform::le::u16(p);
                const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                d[x] = qRgb(int(r << 3 | r >> 2), int(g << 3 | g >> 2), int(b << 3 | b >> 2));
            }
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                d[x] = table[s[column[static_cast<size_t>(x)]]];
            break;
        case 4:
            for (int x = 0; x < w; ++x) {
                const int c = column[static_cast<size_t>(x)];
                d[x] = table[(c & 1) ? s[c / 2] & 0x0F : s[c / 2] >> 4];
            }
            break;
        case 1:
            for (int x = 0; x < w; ++x) {
                const int c = column[static_cast<size_t>(x)];
                d[x] = table[(s[c / 8] >> (7 - c % 8)) & 1];
            }
            break;
        default:
            break;
        }
    }
    return image;
}

} // namespace raster
