#pragma once
// The stand-in's bitmap record and bitmap list. A record shares its pixels
// (an implicitly shared QImage): copying a record is the library's handle
// copy, `deepCopy` its full copy. The list owns its items' pixels only in
// the sense that a record keeps them alive; dropping the list drops them.

#include <QImage>

#include <cstdint>
#include <vector>

namespace platform::imaging {

enum BitmapFlags : std::uint32_t {
    BITMAP_ALLOCATED = 0x1,
    BITMAP_TRANSPARENT = 0x80,
    BITMAP_USE_LUT = 0x800,
};

struct Bitmap {
    std::int32_t width = 0, height = 0; // as stored
    std::int32_t bitsPerPixel = 0;
    std::int32_t bytesPerRow = 0;
    std::uint32_t flags = 0;
    // 1 is the normal top-left order; 5 to 8 are stored a quarter turn.
    std::int32_t viewPerspective = 1;
    std::int32_t colorOrder = 0;
    std::int32_t xResolution = 0, yResolution = 0;
    std::uint32_t backgroundColor = 0, transparentColor = 0;
    // Milliseconds before the next frame of an animation.
    std::int32_t delay = 0;
    QImage pixels;

    // A record for an image: the sizes, bits and resolution from it.
    static Bitmap fromImage(const QImage &image, int bitsPerPixel = 0);
    Bitmap deepCopy() const;
};

// The record helpers of the library's declarations.
inline bool isAllocated(const Bitmap *b) { return b && (b->flags & BITMAP_ALLOCATED); }
inline bool isQuarterTurned(const Bitmap &b) { return b.viewPerspective >= 5 && b.viewPerspective <= 8; }
inline std::int32_t shownWidth(const Bitmap &b) { return isQuarterTurned(b) ? b.height : b.width; }
inline std::int32_t shownHeight(const Bitmap &b) { return isQuarterTurned(b) ? b.width : b.height; }

// The pixel format a bit depth is kept in (8 and fewer: indexed).
QImage::Format formatForBits(int bits);
// The depth a picture is reported with.
int bitsOf(const QImage &image);

using BitmapList = std::vector<Bitmap>;

} // namespace platform::imaging
