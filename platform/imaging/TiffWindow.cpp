// TIFF windows through libtiff's RGBA interface.

#include "platform/imaging/TiffWindow.h"

#include "platform/imaging/ImagingErrors.h"

#include <QColor>
#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform::imaging {
namespace {

// A strip or tile band decoded into memory is at most this large.
constexpr std::uint64_t MaxBandBytes = 256ull << 20;

struct TiffCloser {
    void operator()(TIFF *t) const { TIFFClose(t); }
};

} // namespace

void quietLibtiff()
{
    // libtiff's messages would go to stderr; its failures come back as codes.
    static const bool once = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)once;
}

namespace {

QRgb fromAbgr(std::uint32_t p)
{
    return qRgba(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p), TIFFGetA(p));
}

} // namespace

int readTiffWindow(const QString &fileName, int page, const QRect &window, const QSize &size, QImage &out,
                   const QRect &needed)
{
    quietLibtiff();
    if (!QFile::exists(fileName))
        return ERROR_FILENOTFOUND;
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(QFile::encodeName(fileName).constData(), "r"));
    if (!tif)
        return ERROR_FILE_FORMAT;
    if (page < 0 || !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(page)))
        return ERROR_INV_PARAMETER;
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0 || window.isEmpty() || size.isEmpty() ||
        !QRect(0, 0, static_cast<int>(std::min<std::uint32_t>(width, INT32_MAX)),
               static_cast<int>(std::min<std::uint32_t>(height, INT32_MAX)))
             .contains(window))
        return ERROR_INV_RANGE;
    char message[1024];
    if (!TIFFRGBAImageOK(tif.get(), message))
        return ERROR_IMAGE_TYPE;

    out = QImage(size, QImage::Format_ARGB32);
    if (out.isNull())
        return ERROR_NO_MEMORY;
    // The part of the picture that is read; the rest stays black.
    const QRect whole(QPoint(0, 0), size);
    const QRect part = needed.isEmpty() ? whole : needed.intersected(whole);
    if (part != whole)
        out.fill(QColor(Qt::black));
    if (part.isEmpty())
        return SUCCESS;
    // The columns of the window each output pixel of the part shows (the
    // pixel at x shows columns[x - part.left()]), as the whole picture
    // maps them.
    std::vector<int> columns(static_cast<std::size_t>(part.width()));
    for (int x = part.left(); x <= part.right(); ++x)
        columns[static_cast<std::size_t>(x - part.left())] =
            window.left() + static_cast<int>((2LL * x + 1) * window.width() / (2LL * size.width()));

    const bool tiled = TIFFIsTiled(tif.get());
    // Plain 8-bit grey or RGB(A) strips are read raw, undoing only the
    // compression and differencing, and only the kept pixels are looked at.
    std::uint16_t bits = 0, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    const bool raw = !tiled && bits == 8 && planar == PLANARCONFIG_CONTIG &&
                     ((photometric == PHOTOMETRIC_MINISBLACK && samples == 1) ||
                      (photometric == PHOTOMETRIC_RGB && (samples == 3 || samples == 4)));
    std::uint32_t bandRows = 0, tileWidth = width;
    if (tiled) {
        TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &bandRows);
        TIFFGetField(tif.get(), TIFFTAG_TILEWIDTH, &tileWidth);
    } else if (!TIFFGetField(tif.get(), TIFFTAG_ROWSPERSTRIP, &bandRows) || bandRows > height) {
        bandRows = height;
    }
    if (bandRows == 0 || tileWidth == 0)
        return ERROR_FILE_READ;
    // A band of the page's full width, as wide as the window's tiles.
    const std::uint64_t bandBytes = std::uint64_t(tiled ? tileWidth : width) * bandRows * 4;
    if (bandBytes > MaxBandBytes)
        return ERROR_NO_MEMORY;
    // What libtiff itself holds of a strip or tile before it converts the
    // samples: within the same bound (a page may count thousands of samples
    // a pixel).
    const std::uint64_t encodedBytes = tiled ? TIFFTileSize64(tif.get()) : TIFFStripSize64(tif.get());
    if (encodedBytes == 0 || encodedBytes > MaxBandBytes)
        return ERROR_NO_MEMORY;
    if (tiled) {
        // The tiles of a band row that the window's columns touch are kept
        // together: all of them within the bound too.
        std::uint64_t touched = 0;
        std::int64_t last = -1;
        for (const int column : columns)
            if (const std::int64_t t = column / std::int64_t(tileWidth); t != last) {
                ++touched;
                last = t;
            }
        if (touched * bandBytes > MaxBandBytes)
            return ERROR_NO_MEMORY;
    }
    std::vector<std::uint32_t> band(raw || tiled ? 0 : static_cast<std::size_t>(bandBytes / 4));
    const std::size_t rawRow = std::size_t(width) * samples;
    std::vector<std::uint8_t> rawBand(raw ? rawRow * bandRows : 0);
    // For tiles: the decoded tiles of the current band row, by tile column.
    std::vector<std::vector<std::uint32_t>> tiles;
    std::int64_t bandTop = -1;

    const int partWidth = part.width();
    // The row of the window the output row y shows.
    const auto rowOf = [&](int y) {
        return static_cast<std::uint32_t>(window.top() + (2LL * y + 1) * window.height() / (2LL * size.height()));
    };
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const std::uint32_t row = rowOf(y);
        const std::uint32_t top = row / bandRows * bandRows;
        const std::uint32_t rowsHere = std::min(bandRows, height - top);
        if (std::int64_t(top) != bandTop) {
            bandTop = top;
            if (tiled) {
                tiles.assign((width + tileWidth - 1) / tileWidth, {});
            } else if (raw) {
                // The strip is decoded down to the last row taken of it.
                std::uint32_t last = row;
                for (int next = y + 1; next <= part.bottom() && rowOf(next) < top + rowsHere; ++next)
                    last = rowOf(next);
                const tmsize_t want = static_cast<tmsize_t>(rawRow * (last - top + 1));
                if (TIFFReadEncodedStrip(tif.get(), TIFFComputeStrip(tif.get(), top, 0), rawBand.data(), want) !=
                    want)
                    return ERROR_FILE_READ;
            } else if (!TIFFReadRGBAStrip(tif.get(), top, band.data())) {
                return ERROR_FILE_READ;
            }
        }
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y)) + part.left();
        // The band's origin is its lower left corner.
        const std::uint32_t fromBottom = rowsHere - 1 - (row - top);
        if (raw) {
            const std::uint8_t *source = rawBand.data() + std::size_t(row - top) * rawRow;
            for (int x = 0; x < partWidth; ++x) {
                const std::uint8_t *p = source + std::size_t(columns[static_cast<std::size_t>(x)]) * samples;
                line[x] = samples == 1 ? qRgb(p[0], p[0], p[0])
                                       : qRgba(p[0], p[1], p[2], samples == 4 ? p[3] : 255);
            }
            continue;
        }
        if (!tiled) {
            const std::uint32_t *source = band.data() + std::size_t(fromBottom) * width;
            for (int x = 0; x < partWidth; ++x)
                line[x] = fromAbgr(source[columns[static_cast<std::size_t>(x)]]);
            continue;
        }
        for (int x = 0; x < partWidth; ++x) {
            const std::uint32_t column = static_cast<std::uint32_t>(columns[static_cast<std::size_t>(x)]);
            std::vector<std::uint32_t> &tile = tiles[column / tileWidth];
            if (tile.empty()) {
                tile.resize(std::size_t(tileWidth) * bandRows);
                if (!TIFFReadRGBATile(tif.get(), column / tileWidth * tileWidth, top, tile.data()))
                    return ERROR_FILE_READ;
            }
            // Tiles keep their full height, also at the page's foot.
            line[x] = fromAbgr(tile[std::size_t(bandRows - 1 - (row - top)) * tileWidth + column % tileWidth]);
        }
    }
    // Without extra samples the picture is opaque.
    std::uint16_t extra = 0;
    const std::uint16_t *kinds = nullptr;
    if (!TIFFGetField(tif.get(), TIFFTAG_EXTRASAMPLES, &extra, &kinds) || extra == 0)
        out.reinterpretAsFormat(QImage::Format_RGB32);
    return SUCCESS;
}

} // namespace platform::imaging
