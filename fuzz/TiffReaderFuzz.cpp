// Feeds arbitrary bytes, as a ".tiff" file, to the program's own TIFF
// reader: the header, the chain of directories, the tags, and windows of
// each page decoded by the strip decoders (the top-left corner at full size,
// a middle window reduced, with and without the gamma table). The reader's
// own errors may escape; nothing else, nothing may be read out of bounds,
// and a decoded bitmap is as wide as its window and no taller than asked.

#include "raster/TiffReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    raster::TiffMemoryStream stream(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    raster::TTIFFBitmap tiff;
    try {
        tiff.LoadFromStream(stream);
    } catch (const raster::TiffError &) {
        return 0;
    }
    struct Window {
        std::int64_t left, top, width, height;
        int output;
        double gamma;
    };
    for (int i = 0; i < std::min(tiff.PageCount(), 4); ++i) {
        const raster::TTIFFIFD &page = tiff.Page(i);
        std::int64_t w = 0, h = 0;
        try {
            w = page.tagValue(raster::tagImageWidth, 0);
            h = page.tagValue(raster::tagImageLength, 0);
        } catch (const raster::TiffError &) {
            continue;
        }
        const Window windows[] = {
            {0, 0, std::min<std::int64_t>(w, 64), std::min<std::int64_t>(h, 64), 64, 0},
            {w / 2, h / 3, std::min<std::int64_t>(w - w / 2, 40), std::min<std::int64_t>(h - h / 3, 40), 7, 1.5},
        };
        for (const Window &v : windows) {
            if (v.width <= 0 || v.height <= 0)
                continue;
            try {
                const std::optional<raster::Dib> dib =
                    tiff.GetPageRegion(i + 1, v.left, v.top, v.width, v.height, v.output, v.gamma);
                if (dib && (dib->width() != v.width || dib->height() > v.output || dib->height() > v.height))
                    __builtin_trap();
            } catch (const raster::TiffError &) {
            }
        }
    }
    return 0;
}
