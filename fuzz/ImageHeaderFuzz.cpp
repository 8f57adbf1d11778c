// Feeds arbitrary bytes to the imaging library's reading of the resolution
// a picture header states (PNG, JPEG, BMP and TIFF): nothing may be read
// out of bounds, loop without end, or give a negative resolution.

#include "platform/imaging/HeaderResolution.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    const QSize dpi = platform::imaging::headerResolution(buffer);
    if (dpi.width() < 0 || dpi.height() < 0)
        std::abort();
    return 0;
}
