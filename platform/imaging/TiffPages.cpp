// TIFF pages written through libtiff into a file that replaces the old one
// only when complete.

#include "platform/imaging/TiffPages.h"

#include "platform/SafeFile.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/TiffWindow.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <tiffio.h>

#include <vector>

namespace platform::imaging {
namespace {

// libtiff's file procedures over a Qt device.
tsize_t readProc(thandle_t h, tdata_t data, tsize_t size)
{
    return static_cast<QIODevice *>(h)->read(static_cast<char *>(data), size);
}

tsize_t writeProc(thandle_t h, tdata_t data, tsize_t size)
{
    return static_cast<QIODevice *>(h)->write(static_cast<const char *>(data), size);
}

toff_t seekProc(thandle_t h, toff_t offset, int whence)
{
    auto *d = static_cast<QIODevice *>(h);
    qint64 to = static_cast<qint64>(offset);
    if (whence == SEEK_CUR)
        to += d->pos();
    else if (whence == SEEK_END)
        to += d->size();
    return d->seek(to) ? static_cast<toff_t>(to) : static_cast<toff_t>(-1);
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t h)
{
    return static_cast<toff_t>(static_cast<QIODevice *>(h)->size());
}

int mapProc(thandle_t, tdata_t *, toff_t *)
{
    return 0;
}

void unmapProc(thandle_t, tdata_t, toff_t) {}

// One page: the tags of its kind of pixels, then its rows.
bool writePage(TIFF *tif, const TiffPage &page, int index, int count)
{
    QImage image = page.image;
    std::uint16_t photometric = PHOTOMETRIC_RGB, bits = 8, samples = 3;
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image = image.convertToFormat(QImage::Format_Mono);
        photometric = PHOTOMETRIC_PALETTE;
        bits = 1;
        samples = 1;
        break;
    case QImage::Format_Indexed8:
        photometric = PHOTOMETRIC_PALETTE;
        samples = 1;
        break;
    case QImage::Format_Grayscale8:
        photometric = PHOTOMETRIC_MINISBLACK;
        samples = 1;
        break;
    default:
        if (image.hasAlphaChannel()) {
            image = image.convertToFormat(QImage::Format_RGBA8888);
            samples = 4;
        } else {
            image = image.convertToFormat(QImage::Format_RGB888);
        }
    }
    const auto width = static_cast<std::uint32_t>(image.width()), height = static_cast<std::uint32_t>(image.height());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (count > 1) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<std::uint16_t>(index), static_cast<std::uint16_t>(count));
    }
    if (samples == 4) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        // 16-bit colour maps of 2^bits entries; missing entries are black.
        const std::size_t entries = std::size_t(1) << bits;
        std::vector<std::uint16_t> red(entries), green(entries), blue(entries);
        const QList<QRgb> table = image.colorTable();
        for (std::size_t i = 0; i < entries && i < std::size_t(table.size()); ++i) {
            const QRgb c = table[static_cast<qsizetype>(i)];
            red[i] = static_cast<std::uint16_t>(qRed(c) * 257);
            green[i] = static_cast<std::uint16_t>(qGreen(c) * 257);
            blue[i] = static_cast<std::uint16_t>(qBlue(c) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    // Dots per inch, or 72 when the picture states none and a layer's place
    // needs a unit.
    const bool stated = page.xDpi > 0 && page.yDpi > 0;
    const double xdpi = stated ? page.xDpi : 72, ydpi = stated ? page.yDpi : 72;
    if (stated || page.positioned) {
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(xdpi));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(ydpi));
    }
    if (page.positioned) {
        TIFFSetField(tif, TIFFTAG_XPOSITION, static_cast<float>(page.position.x() / xdpi));
        TIFFSetField(tif, TIFFTAG_YPOSITION, static_cast<float>(page.position.y() / ydpi));
    }
    const std::size_t rowBytes = (std::size_t(width) * bits * samples + 7) / 8;
    for (std::uint32_t y = 0; y < height; ++y) {
        // libtiff may change the row it is given while encoding.
        std::vector<std::uint8_t> row(image.constScanLine(static_cast<int>(y)),
                                      image.constScanLine(static_cast<int>(y)) + rowBytes);
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

} // namespace

int writeTiffPages(const QString &fileName, const std::vector<TiffPage> &pages)
{
    if (pages.empty())
        return ERROR_NO_BITMAP;
    for (const TiffPage &p : pages)
        if (p.image.isNull())
            return ERROR_NO_BITMAP;
    quietLibtiff();
    // libtiff reads back what it wrote while it links the pages, which a
    // file that replaces its name only when complete does not allow: the
    // file is made in memory first.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TIFF *tif = TIFFClientOpen(QFile::encodeName(fileName).constData(), "w", &buffer, readProc, writeProc, seekProc,
                               closeProc, sizeProc, mapProc, unmapProc);
    if (!tif)
        return ERROR_FILE_WRITE;
    bool written = true;
    for (std::size_t i = 0; i < pages.size() && written; ++i)
        written = writePage(tif, pages[i], static_cast<int>(i), static_cast<int>(pages.size()));
    TIFFClose(tif);
    if (!written)
        return ERROR_FILE_WRITE;
    return platform::writeFileAtomically(fileName, buffer.data()) ? SUCCESS : ERROR_FILE_WRITE;
}

int readTiffPages(const QString &fileName, std::vector<QImage> &pages)
{
    if (!QFileInfo::exists(fileName))
        return ERROR_FILENOTFOUND;
    pages.clear();
    for (int page = 0;; ++page) {
        // A reader of its own for each page, as the loads do.
        QImageReader reader(fileName);
        if (reader.format() != "tiff")
            return ERROR_FILE_FORMAT;
        const int count = std::max(1, reader.imageCount());
        if (page >= count)
            break;
        if (page > 0 && !reader.jumpToImage(page))
            return ERROR_FILE_READ;
        QImage image = reader.read();
        if (image.isNull())
            return ERROR_FILE_READ;
        pages.push_back(image);
    }
    return SUCCESS;
}

} // namespace platform::imaging
