// Feeds arbitrary bytes, as a ".bmp" file, to the band-by-band picture
// drawing of image layers, and the same bytes after the file header to the
// bitmap decoder the metafile readers share. Nothing may be read out of
// bounds and no size in the file may make either allocate beyond what the
// bytes could hold.
//
// Input: byte 0 picks the raster operation (low 4 bits), the gamma (bit 4),
// a mirrored destination (bit 5); bytes 1 and 2 the top row and the number
// of rows of the source window; then the file.

#include "FuzzSupport.h"
#include "mapdata/VykFunctions.h"
#include "platform/gdi/CodecSupport.h"
#include "platform/gdi/PainterCanvas.h"

using namespace platform::gdi;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const QByteArray file(reinterpret_cast<const char *>(data + 3), static_cast<qsizetype>(size - 3));
    static const QString path = fuzzsupport::scratchPath("bmp_file", QStringLiteral(".bmp"));
    if (!fuzzsupport::writeFile(path, file))
        return 0;
    const int mode = data[0] & 0x0F;
    const double gamma = data[0] & 0x10 ? 1.8 : 0;
    const int height = data[0] & 0x20 ? -32 : 32;
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        PainterCanvas canvas(image, DeviceMetrics{1000, 800, 250, 200, 96, 96});
        VykFunctions::DrawBmpFile(path, canvas, 0, height < 0 ? 32 : 0, 32, height, 0, data[1], 64,
                                  data[2] + 1, mode, gamma);
    }

    // The bitmap header with its colour table and the bits after it.
    const codec::Reader r(file, 0, file.size());
    const qsizetype header = codec::dibHeaderSize(r, 14, file.size() - 14);
    if (header > 0 && 14 + header <= file.size()) {
        const QByteArray head = file.mid(14, header);
        codec::decodeDib(head, file.mid(14 + header), data[1] & 1);
    }
    return 0;
}
