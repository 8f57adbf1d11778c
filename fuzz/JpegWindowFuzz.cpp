// Feeds arbitrary bytes, as a ".jpg" file, to the imaging library's JPEG
// window reader: a window at full size, one of an eighth and one enlarged.
// Nothing may be read out of bounds, and a picture read is as large as its
// window.

#include "FuzzSupport.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/JpegWindow.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    static const QString file = fuzzsupport::scratchPath("jpeg_window", QStringLiteral(".jpg"));
    if (!fuzzsupport::writeFile(file, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        return 0;
    const struct {
        QSize scaled;
        QRect window;
    } reads[] = {{{}, {0, 0, 16, 16}}, {{40, 30}, {5, 5, 30, 20}}, {{600, 500}, {300, 200, 64, 64}}};
    for (const auto &r : reads) {
        QImage out;
        if (platform::imaging::readJpegWindow(file, r.scaled, r.window, out) == platform::imaging::SUCCESS &&
            out.size() != r.window.size())
            std::abort();
    }
    return 0;
}
