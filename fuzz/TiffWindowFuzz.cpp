// Feeds arbitrary bytes, as a ".tif" sheet, to the imaging library's TIFF
// windows through libtiff: the top-left corner at full size, the middle of
// the first page reduced, a window enlarged, and the same of the second
// page. Nothing may be read out of bounds, and a window read is as large as
// asked.

#include "FuzzSupport.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/TiffWindow.h"

#include <tiffio.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString file = fuzzsupport::scratchPath("tiff_window", QStringLiteral(".tif"));
    if (!fuzzsupport::writeFile(file, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        return 0;
    platform::imaging::quietLibtiff();
    for (int page = 0; page < 2; ++page) {
        // The page's size as libtiff reads it, for windows inside it.
        std::uint32_t width = 0, height = 0, band = 0;
        {
            std::unique_ptr<TIFF, void (*)(TIFF *)> tif(TIFFOpen(QFile::encodeName(file).constData(), "r"),
                                                        [](TIFF *t) {
                                                            if (t)
                                                                TIFFClose(t);
                                                        });
            if (!tif || !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(page)))
                return 0;
            TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
            TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
            if (TIFFIsTiled(tif.get()))
                TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &band);
            else if (!TIFFGetField(tif.get(), TIFFTAG_ROWSPERSTRIP, &band))
                band = height;
        }
        // Bands of strips or tiles beyond 32 MB decoded only cost time (the
        // reader refuses those beyond 256 MB by itself).
        if (std::uint64_t(width) * std::min(band, height) * 4 > (32u << 20))
            continue;
        const int w = static_cast<int>(std::min<std::uint32_t>(width, 1 << 20));
        const int h = static_cast<int>(std::min<std::uint32_t>(height, 1 << 20));
        if (w <= 0 || h <= 0)
            continue;
        const struct {
            QRect window;
            QSize size;
        } reads[] = {
            {{0, 0, std::min(w, 32), std::min(h, 32)}, {std::min(w, 32), std::min(h, 32)}},
            {{w / 4, h / 4, std::max(1, w / 2), std::max(1, h / 2)}, {13, 7}},
            {{w / 2, h / 3, std::max(1, std::min(w - w / 2, 5)), std::max(1, std::min(h - h / 3, 4))}, {40, 30}},
        };
        for (const auto &r : reads) {
            QImage out;
            if (platform::imaging::readTiffWindow(file, page, r.window, r.size, out) == platform::imaging::SUCCESS &&
                out.size() != r.size)
                __builtin_trap();
        }
    }
    return 0;
}
