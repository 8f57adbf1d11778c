// Bitmap records over QImage.

#include "platform/imaging/Bitmap.h"

#include <cmath>

namespace platform::imaging {

QImage::Format formatForBits(int bits)
{
    if (bits <= 0)
        return QImage::Format_Invalid;
    if (bits == 1)
        return QImage::Format_Mono;
    if (bits <= 8)
        return QImage::Format_Indexed8;
    if (bits <= 16)
        return QImage::Format_RGB16;
    if (bits <= 24)
        return QImage::Format_RGB888;
    return QImage::Format_ARGB32;
}

int bitsOf(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
    case QImage::Format_Grayscale16: return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32: return 24;
    default: return image.depth() >= 32 ? 32 : image.depth();
    }
}

Bitmap Bitmap::fromImage(const QImage &image, int bits)
{
    Bitmap b;
    if (image.isNull())
        return b;
    b.pixels = image;
    b.width = image.width();
    b.height = image.height();
    b.bitsPerPixel = bits > 0 ? bits : bitsOf(image);
    b.bytesPerRow = static_cast<std::int32_t>((static_cast<std::int64_t>(b.width) * b.bitsPerPixel + 31) / 32 * 4);
    b.flags = BITMAP_ALLOCATED;
    if (image.hasAlphaChannel())
        b.flags |= BITMAP_TRANSPARENT;
    // Dots per metre to dots per inch.
    b.xResolution = static_cast<std::int32_t>(std::lround(image.dotsPerMeterX() * 0.0254));
    b.yResolution = static_cast<std::int32_t>(std::lround(image.dotsPerMeterY() * 0.0254));
    return b;
}

Bitmap Bitmap::deepCopy() const
{
    Bitmap b = *this;
    b.pixels = pixels.copy();
    return b;
}

} // namespace platform::imaging
