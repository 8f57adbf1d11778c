// Feeds arbitrary bytes, as a ".bmp" or a ".png" sheet (the low bit of byte
// 0 picks), to the imaging library's decoding of whole pictures: the file
// information, the picture loaded whole, a window of it loaded as a tile,
// and the picture loaded reduced. Nothing may be read out of bounds; a
// picture loaded is as large as the file information says, a tile as its
// window and a reduced picture as asked.

#include "FuzzSupport.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"

#include <cstddef>
#include <cstdint>

namespace img = platform::imaging;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const QString bmp = fuzzsupport::scratchPath("image_picture", QStringLiteral(".bmp"));
    static const QString png = fuzzsupport::scratchPath("image_picture", QStringLiteral(".png"));
    const QString &file = data[0] & 1 ? png : bmp;
    if (!fuzzsupport::writeFile(file, QByteArray(reinterpret_cast<const char *>(data + 1),
                                                 static_cast<qsizetype>(size - 1))))
        return 0;
    img::ImagingLibrary library;
    img::FileInfo info;
    if (library.fileInfo(file, 0, info) != img::SUCCESS)
        return 0;
    // Sheets of a few million pixels at most: larger ones only cost time.
    if (info.width <= 0 || info.height <= 0 || qint64(info.width) * info.height > 4000000)
        return 0;
    const auto expect = [](int result, const QImage &image, const QSize &size) {
        if (result == img::SUCCESS && image.size() != size)
            __builtin_trap();
    };
    const QSize full(info.width, info.height);
    QImage whole;
    expect(library.loadFile(file, img::LoadRequest{0, 0, 1, std::nullopt},
                            [&](const img::Bitmap &b, int, int, unsigned) {
                                whole = b.pixels;
                                return int(img::SUCCESS);
                            }),
           whole, full);
    const QRect window(info.width / 3, info.height / 4, std::max(1, info.width / 2), std::max(1, info.height / 2));
    QImage tile;
    expect(library.loadFile(file, img::LoadRequest{24, 0, 1, window},
                            [&](const img::Bitmap &b, int, int, unsigned) {
                                tile = b.pixels;
                                return int(img::SUCCESS);
                            }),
           tile, window.size());
    img::Bitmap reduced;
    const QSize small(std::max(1, info.width / 3), std::max(1, info.height / 5));
    expect(library.loadResize(file, small.width(), small.height(), 0, reduced, {}), reduced.pixels, small);
    return 0;
}
