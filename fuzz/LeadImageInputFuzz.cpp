// Feeds arbitrary bytes to the imaging control's readers of outside data:
// a dropped bitmap record (every size it states checked against the bytes
// present), a blob's "LTOCXBND" header (the image bytes must lie inside the
// blob) and a GIF's frame delays (no read past the end, no endless walk).

#include "raster/BitmapRecord.h"
#include "raster/LeadImageBlob.h"

#include "platform/imaging/GifDelays.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    platform::imaging::Bitmap bitmap;
    if (raster::decodeBitmapRecord(bytes, bitmap)) {
        if (bitmap.pixels.isNull() || bitmap.width <= 0 || bitmap.height <= 0)
            std::abort();
        // A record read back is written and read again to the same picture.
        platform::imaging::Bitmap again;
        if (!raster::decodeBitmapRecord(raster::encodeBitmapRecord(bitmap), again)
            || again.pixels.size() != bitmap.pixels.size())
            std::abort();
    }
    const QByteArray image = raster::blobImageBytes(bytes);
    if (image.size() > bytes.size())
        std::abort();
    const std::vector<int> delays = platform::imaging::gifFrameDelays(bytes);
    if (delays.size() > size)
        std::abort();
    return 0;
}
