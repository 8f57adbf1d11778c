// Several pictures written as the frames of one GIF file through giflib.

#include "platform/imaging/GifFrames.h"

#include "platform/SafeFile.h"
#include "platform/imaging/ImagingErrors.h"

#include <QByteArray>

#include <gif_lib.h>

#include <algorithm>
#include <memory>

namespace platform::imaging {
namespace {

int appendBytes(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFree {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

bool writeFrame(GifFileType *gif, const QImage &frame)
{
    // At most 256 colours, in a table as long as a power of two.
    const QImage indexed = frame.format() == QImage::Format_Indexed8
                               ? frame
                               : frame.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> table = indexed.colorTable();
    int bits = 1;
    while ((1 << bits) < table.size() && bits < 8)
        ++bits;
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        return false;
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                          static_cast<GifByteType>(qBlue(c))};
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK)
        return false;
    if (EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, map.get()) != GIF_OK)
        return false;
    for (int y = 0; y < indexed.height(); ++y) {
        // giflib takes rows it may not change as rows it may.
        std::vector<GifPixelType> row(indexed.constScanLine(y), indexed.constScanLine(y) + indexed.width());
        if (EGifPutLine(gif, row.data(), indexed.width()) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

int writeGifFrames(const QString &fileName, const std::vector<QImage> &frames, bool loop)
{
    if (frames.empty())
        return ERROR_NO_BITMAP;
    int width = 0, height = 0;
    for (const QImage &f : frames) {
        if (f.isNull())
            return ERROR_NO_BITMAP;
        width = std::max(width, f.width());
        height = std::max(height, f.height());
    }
    // GIF sizes are 16-bit.
    if (width > 0xFFFF || height > 0xFFFF)
        return ERROR_INV_RANGE;
    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendBytes, &error));
    if (!gif)
        return ERROR_NO_MEMORY;
    EGifSetGifVersion(gif.get(), true);
    if (EGifPutScreenDesc(gif.get(), width, height, 8, 0, nullptr) != GIF_OK)
        return ERROR_FILE_WRITE;
    if (loop) {
        // The application extension that repeats the frames without end.
        static const GifByteType name[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static const GifByteType repeat[] = {1, 0, 0};
        if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
            EGifPutExtensionBlock(gif.get(), sizeof name, name) != GIF_OK ||
            EGifPutExtensionBlock(gif.get(), sizeof repeat, repeat) != GIF_OK ||
            EGifPutExtensionTrailer(gif.get()) != GIF_OK)
            return ERROR_FILE_WRITE;
    }
    for (const QImage &f : frames)
        if (!writeFrame(gif.get(), f))
            return ERROR_FILE_WRITE;
    // Closing writes the trailer.
    if (EGifCloseFile(gif.release(), &error) != GIF_OK)
        return ERROR_FILE_WRITE;
    return platform::writeFileAtomically(fileName, bytes) ? SUCCESS : ERROR_FILE_WRITE;
}

} // namespace platform::imaging
