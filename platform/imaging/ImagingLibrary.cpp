// The imaging library stand-in over Qt's image readers and writers.

#include "platform/imaging/ImagingLibrary.h"

#include "platform/imaging/BmpData.h"
#include "platform/imaging/GifDelays.h"
#include "platform/imaging/HeaderResolution.h"
#include "platform/imaging/GifFrames.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/JpegWindow.h"
#include "platform/imaging/TiffPages.h"
#include "platform/imaging/TiffWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTransform>

#include <array>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::imaging {
namespace {

struct FormatRow {
    int code;
    const char *qt;
    const char *text;
};
// Reading a code gives its format; saving needs a Qt writer for it.
constexpr FormatRow formats[] = {
    {FILE_GIF, "gif", "GIF"},       {FILE_TIF, "tiff", "TIFF"},      {FILE_BMP, "bmp", "BMP"},
    {FILE_JPEG, "jpeg", "JPEG"},    {FILE_TIF_PAGES, "tiff", "TIFF"}, {FILE_PNG, "png", "PNG"},
    {FILE_WEBP, "webp", "WEBP"},    {FILE_TGA, "tga", "TGA"},        {FILE_ICO, "ico", "ICO"},
    {FILE_PPM, "ppm", "PPM"},       {FILE_PGM, "pgm", "PGM"},        {FILE_PBM, "pbm", "PBM"},
    {FILE_XPM, "xpm", "XPM"},       {FILE_XBM, "xbm", "XBM"},        {FILE_WBMP, "wbmp", "WBMP"},
};

// Rows handed to a load callback at a time.
constexpr int BlockRows = 256;

int readerError(const QImageReader &reader, const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return ERROR_FILENOTFOUND;
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return ERROR_FILENOTFOUND;
    case QImageReader::DeviceError: return ERROR_FILE_OPEN;
    case QImageReader::UnsupportedFormatError: return ERROR_FILE_FORMAT;
    case QImageReader::InvalidDataError: return ERROR_FILE_READ;
    default: return ERROR_FILE_READ;
    }
}

// Whether the file holds the pixels it describes, as far as that is known
// before decoding: Qt reads a BMP cut short as black rows, without an error.
bool pixelsHeld(const QString &fileName, const QByteArray &format)
{
    if (format != "bmp")
        return true;
    QFile file(fileName);
    return !file.open(QIODevice::ReadOnly) || bmpDataHeld(file);
}

// Moves a reader to a page; readers that cannot jump (animations) read
// their way there.
bool seekImage(QImageReader &reader, int page)
{
    if (page <= 0 || reader.jumpToImage(page))
        return true;
    for (int i = 0; i < page; ++i)
        if (reader.read().isNull())
            return false;
    return true;
}

QImage toBits(const QImage &image, int bits)
{
    if (bits <= 0 || bitsOf(image) == bits)
        return image;
    const QImage::Format f = formatForBits(bits);
    if (f == QImage::Format_Invalid)
        return image;
    if (f == QImage::Format_Indexed8 || f == QImage::Format_Mono)
        return image.convertToFormat(f, Qt::ThresholdDither | Qt::AvoidDither);
    return image.convertToFormat(f);
}

// The format a picture is worked on in: 32-bit colours, with alpha when the
// picture has it.
QImage workImage(const QImage &image)
{
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Back to the depth the record had (an indexed picture stays in colours
// when the work added colours it has no entry for).
QImage backToFormat(const QImage &work, const QImage &original)
{
    if (original.format() == work.format())
        return work;
    if (original.format() == QImage::Format_Indexed8 || original.format() == QImage::Format_Mono ||
        original.format() == QImage::Format_MonoLSB)
        return work;
    return work.convertToFormat(original.format());
}

void setImage(Bitmap &b, const QImage &image)
{
    const std::uint32_t kept = b.flags & BITMAP_USE_LUT;
    const int vp = b.viewPerspective, xr = b.xResolution, yr = b.yResolution;
    b = Bitmap::fromImage(image);
    b.flags |= kept;
    b.viewPerspective = vp;
    b.xResolution = xr;
    b.yResolution = yr;
}

// A colour table or the pixels through a table of 256 values per channel.
int mapChannels(Bitmap &bitmap, const std::array<int, 256> &table, const StatusCallback &status)
{
    if (status) {
        if (const int answer = status(0); answer != SUCCESS)
            return answer;
    }
    auto map = [&](QRgb c) {
        return qRgba(table[qRed(c)], table[qGreen(c)], table[qBlue(c)], qAlpha(c));
    };
    QImage image = bitmap.pixels;
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
        image.format() == QImage::Format_MonoLSB) {
        QList<QRgb> colors = image.colorTable();
        for (QRgb &c : colors)
            c = map(c);
        image = image.copy();
        image.setColorTable(colors);
    } else {
        QImage work = workImage(image);
        for (int y = 0; y < work.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(work.scanLine(y));
            for (int x = 0; x < work.width(); ++x)
                row[x] = map(row[x]);
            if (status && (y + 1) % BlockRows == 0) {
                if (const int answer = status(static_cast<int>((y + 1) * 100LL / work.height())); answer != SUCCESS)
                    return answer;
            }
        }
        image = backToFormat(work, image);
    }
    if (status) {
        if (const int answer = status(100); answer != SUCCESS)
            return answer;
    }
    setImage(bitmap, image);
    return SUCCESS;
}

} // namespace

QImage shownPixels(const Bitmap &bitmap)
{
    // The view perspectives number the orientations as TIFF does: 1 as
    // stored, 2 mirrored, 3 turned half round, 4 flipped, 5 flipped and
    // turned a quarter clockwise (rows become columns), 6 a quarter
    // clockwise, 7 mirrored and turned a quarter clockwise, 8 a quarter
    // counter-clockwise.
    const QImage &p = bitmap.pixels;
    switch (bitmap.viewPerspective) {
    case 2: return p.mirrored(true, false);
    case 3: return p.transformed(QTransform().rotate(180));
    case 4: return p.mirrored(false, true);
    case 5: return p.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6: return p.transformed(QTransform().rotate(90));
    case 7: return p.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8: return p.transformed(QTransform().rotate(270));
    default: return p;
    }
}

QByteArray qtFormatOf(int code)
{
    for (const FormatRow &f : formats)
        if (f.code == code)
            return f.qt;
    return {};
}

int formatCodeOf(const QByteArray &qtFormat, int pages)
{
    const QByteArray f = qtFormat.toLower();
    if (f == "tif" || f == "tiff")
        return pages > 1 ? FILE_TIF_PAGES : FILE_TIF;
    if (f == "jpg")
        return FILE_JPEG;
    for (const FormatRow &row : formats)
        if (f == row.qt)
            return row.code;
    return 0;
}

int ImagingLibrary::fileInfo(const QString &fileName, int page, FileInfo &info)
{
    if (fileName.isEmpty())
        return ERROR_INV_FILENAME;
    QImageReader reader(fileName);
    if (!reader.canRead())
        return readerError(reader, fileName);
    const int pages = std::max(1, reader.imageCount());
    if (page < 0 || page >= pages)
        return ERROR_INV_PARAMETER;
    if (!seekImage(reader, page))
        return ERROR_FILE_READ;
    QSize size = reader.size();
    int bits = reader.imageFormat() != QImage::Format_Invalid ? bitsOf(QImage(1, 1, reader.imageFormat())) : 0;
    if (!size.isValid() || bits == 0) {
        // A reader that tells nothing before decoding.
        const QImage image = reader.read();
        if (image.isNull())
            return readerError(reader, fileName);
        size = image.size();
        bits = bitsOf(image);
    }
    FileInfo out;
    out.format = formatCodeOf(reader.format(), pages);
    out.width = size.width();
    out.height = size.height();
    out.bits = bits;
    out.text = QString::fromLatin1(reader.format().toUpper());
    out.page = page;
    out.totalPages = pages;
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QSize dpi = headerResolution(file);
        out.xResolution = dpi.width();
        out.yResolution = dpi.height();
    }
    info = out;
    return SUCCESS;
}

int ImagingLibrary::loadFile(const QString &fileName, const LoadRequest &request, const LoadCallback &rows)
{
    FileInfo info;
    if (const int r = fileInfo(fileName, std::max(0, request.page), info); r != SUCCESS)
        return r;
    const int last = request.pages < 0 ? info.totalPages : std::min(info.totalPages, request.page + request.pages);
    const auto level = levels_.find(info.format);
    // The delays as stored: the reader's own turn short ones into 100 ms.
    std::vector<int> delays;
    if (info.format == FILE_GIF) {
        QFile gif(fileName);
        if (gif.open(QIODevice::ReadOnly))
            delays = gifFrameDelays(gif.readAll());
    }
    for (int page = request.page; page < last; ++page) {
        // A reader of its own for each page: the TIFF reader's position
        // after asking a page's size and reading it is not the next page's.
        QImageReader reader(fileName);
        if (!seekImage(reader, page))
            return ERROR_FILE_READ;
        const QSize full = reader.size().isValid() ? reader.size() : QSize(info.width, info.height);
        // A level set for the format scales the page first; a tile is then
        // a window of the scaled page.
        QSize shown = full;
        if (level != levels_.end() && level->second.isValid() && level->second != full) {
            shown = level->second;
            reader.setScaledSize(shown);
        }
        const bool tiff = info.format == FILE_TIF || info.format == FILE_TIF_PAGES;
        // The part `part` of the shown page (the page, or the level set).
        auto read = [&](const QRect &part, QImage &image) {
            if (info.format == FILE_JPEG) {
                if (const int r = readJpegWindow(fileName, shown, part, image); r != ERROR_IMAGE_TYPE)
                    return r;
            }
            if (tiff) {
                const double sx = double(full.width()) / shown.width(), sy = double(full.height()) / shown.height();
                const QRect source = QRect(QPoint(int(part.left() * sx), int(part.top() * sy)),
                                           QPoint(int(std::ceil((part.right() + 1) * sx)) - 1,
                                                  int(std::ceil((part.bottom() + 1) * sy)) - 1))
                                         .intersected(QRect(QPoint(0, 0), full));
                return readTiffWindow(fileName, page, source, part.size(), image);
            }
            if (!pixelsHeld(fileName, reader.format()))
                return int(ERROR_FILE_READ);
            if (part != QRect(QPoint(0, 0), shown)) {
                if (shown != full)
                    reader.setScaledClipRect(part);
                else
                    reader.setClipRect(part);
            }
            image = reader.read();
            return image.isNull() ? readerError(reader, fileName) : int(SUCCESS);
        };
        QImage image;
        if (request.tile) {
            const QRect want = *request.tile;
            if (want.width() <= 0 || want.height() <= 0)
                return ERROR_INV_RANGE;
            const QRect inside = want.intersected(QRect(QPoint(0, 0), shown));
            // The part of the window outside the page reads as black.
            QImage tile;
            if (!inside.isEmpty()) {
                if (const int r = read(inside, tile); r != SUCCESS)
                    return r;
            }
            if (inside == want) {
                image = tile;
            } else {
                image = QImage(want.size(), tile.isNull() ? QImage::Format_RGB32 : tile.format());
                if (image.isNull())
                    return ERROR_NO_MEMORY;
                if (!tile.isNull() && tile.format() == QImage::Format_Indexed8)
                    image.setColorTable(tile.colorTable());
                image.fill(0);
                if (!tile.isNull()) {
                    QPainter p(&image);
                    p.setCompositionMode(QPainter::CompositionMode_Source);
                    p.drawImage(inside.topLeft() - want.topLeft(), tile);
                }
            }
        } else if (const int r = read(QRect(QPoint(0, 0), shown), image); r != SUCCESS) {
            return r;
        }
        image = toBits(image, request.bits);
        Bitmap bitmap = Bitmap::fromImage(image);
        bitmap.delay = page < static_cast<int>(delays.size()) ? delays[static_cast<size_t>(page)]
                                                              : std::max(0, reader.nextImageDelay());
        bitmap.xResolution = info.xResolution;
        bitmap.yResolution = info.yResolution;
        const int height = bitmap.height;
        for (int first = 0; first < height; first += BlockRows) {
            const int n = std::min(BlockRows, height - first);
            unsigned flags = first == 0 ? unsigned(BLOCK_IMAGE_START) : 0u;
            if (first + n >= height)
                flags |= BLOCK_IMAGE_END;
            if (const int answer = rows(bitmap, first, n, flags); answer != SUCCESS)
                return answer;
        }
    }
    return SUCCESS;
}

int ImagingLibrary::loadResize(const QString &fileName, int width, int height, int bits, Bitmap &out,
                               const StatusCallback &status, const QRect &needed)
{
    if (width <= 0 || height <= 0)
        return ERROR_INV_RANGE;
    QImageReader reader(fileName);
    if (!reader.canRead())
        return readerError(reader, fileName);
    if (status) {
        if (const int answer = status(0); answer != SUCCESS)
            return answer;
    }
    QImage image;
    const QByteArray f = reader.format();
    int jpeg = ERROR_IMAGE_TYPE;
    if (f == "jpeg" || f == "jpg") {
        // Only the rows down to the needed part's foot are decoded.
        const QRect whole(0, 0, width, height);
        const QRect part = needed.intersected(whole).isEmpty() ? whole : needed.intersected(whole);
        QImage window;
        jpeg = readJpegWindow(fileName, QSize(width, height), part, window);
        if (jpeg == SUCCESS && part == whole) {
            image = window;
        } else if (jpeg == SUCCESS) {
            image = QImage(width, height, window.format());
            if (image.isNull())
                return ERROR_NO_MEMORY;
            image.fill(0);
            image.setDotsPerMeterX(window.dotsPerMeterX());
            image.setDotsPerMeterY(window.dotsPerMeterY());
            const qsizetype rowBytes = qsizetype(part.width()) * window.depth() / 8;
            for (int y = 0; y < part.height(); ++y)
                std::memcpy(image.scanLine(part.top() + y) + qsizetype(part.left()) * window.depth() / 8,
                            window.constScanLine(y), static_cast<std::size_t>(rowBytes));
        } else if (jpeg != ERROR_IMAGE_TYPE) {
            return jpeg;
        }
    }
    if (jpeg != SUCCESS && (f == "tiff" || f == "tif")) {
        // Only the rows and columns kept, of the needed part only.
        const QSize full = reader.size();
        if (const int r = readTiffWindow(fileName, 0, QRect(QPoint(0, 0), full), QSize(width, height), image, needed);
            r != SUCCESS)
            return r;
    } else if (jpeg != SUCCESS) {
        if (!pixelsHeld(fileName, f))
            return ERROR_FILE_READ;
        reader.setScaledSize(QSize(width, height));
        image = reader.read();
        if (image.isNull())
            return readerError(reader, fileName);
    }
    // A reader that ignores the scaled size.
    if (image.size() != QSize(width, height))
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (status) {
        if (const int answer = status(100); answer != SUCCESS)
            return answer;
    }
    out = Bitmap::fromImage(toBits(image, bits));
    return SUCCESS;
}

int ImagingLibrary::readLoadResolutions(const QString &fileName, std::vector<QSize> &levels)
{
    FileInfo info;
    if (const int r = fileInfo(fileName, 0, info); r != SUCCESS)
        return r;
    // No format read here stores reduced levels: the full size only.
    levels = {QSize(info.width, info.height)};
    return SUCCESS;
}

int ImagingLibrary::setLoadResolution(int format, int width, int height)
{
    if (width < 0 || height < 0)
        return ERROR_INV_PARAMETER;
    // No size: the full size again.
    if (width == 0 || height == 0)
        levels_.erase(format);
    else
        levels_[format] = QSize(width, height);
    return SUCCESS;
}

namespace {

// The picture a save writes: as shown, in the depth asked, with the
// record's resolution.
QImage savedPixels(const Bitmap &bitmap, int bits)
{
    QImage image = toBits(shownPixels(bitmap), bits);
    const double dpm = 1 / 0.0254;
    if (bitmap.xResolution > 0)
        image.setDotsPerMeterX(static_cast<int>(std::lround(bitmap.xResolution * dpm)));
    if (bitmap.yResolution > 0)
        image.setDotsPerMeterY(static_cast<int>(std::lround(bitmap.yResolution * dpm)));
    return image;
}

bool isTiff(int format)
{
    return format == FILE_TIF || format == FILE_TIF_PAGES;
}

// A page added to, put into or put over the pages of a TIFF file. The
// file's other pages are read as Qt reads them and written again with it.
int savePage(const QString &fileName, const TiffPage &page, const SaveOptions &options)
{
    std::vector<QImage> pages;
    if (QFileInfo::exists(fileName)) {
        if (const int r = readTiffPages(fileName, pages); r != SUCCESS)
            return r;
    }
    const auto count = static_cast<int>(pages.size());
    // Pages are counted from 1.
    int at = count; // appended
    if (options.flags & SAVE_REPLACE_PAGE) {
        if (options.page < 1 || options.page > count)
            return ERROR_INV_PARAMETER;
        at = options.page - 1;
        pages.erase(pages.begin() + at);
    } else if (options.flags & SAVE_INSERT_PAGE) {
        if (options.page < 1 || options.page > count + 1)
            return ERROR_INV_PARAMETER;
        at = options.page - 1;
    }
    std::vector<TiffPage> out;
    for (const QImage &p : pages) {
        // The resolution as Qt reads it (its default for a page that states none).
        const int x = static_cast<int>(std::lround(p.dotsPerMeterX() * 0.0254));
        const int y = static_cast<int>(std::lround(p.dotsPerMeterY() * 0.0254));
        out.push_back({p, {}, false, x, y});
    }
    out.insert(out.begin() + at, page);
    return writeTiffPages(fileName, out);
}

} // namespace

int ImagingLibrary::saveBitmap(const QString &fileName, const Bitmap &bitmap, int format, int bits,
                               int qualityFactor, const StatusCallback &rows, const SaveOptions &options)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    if (fileName.isEmpty())
        return ERROR_INV_FILENAME;
    const bool paged = options.page > 1 || (options.flags & (SAVE_REPLACE_PAGE | SAVE_INSERT_PAGE));
    // Only TIFF files hold pages here.
    if (paged && !isTiff(format))
        return ERROR_FEATURE_NOT_SUPPORTED;
    const QByteArray qt = qtFormatOf(format == FILE_TIF_PAGES ? FILE_TIF : format);
    if (!paged && format != FILE_GIF && (qt.isEmpty() || !QImageWriter::supportedImageFormats().contains(qt)))
        return ERROR_FEATURE_NOT_SUPPORTED;
    const QImage image = savedPixels(bitmap, bits);
    // The rows are handed over in blocks, so the caller hears of them and
    // may stop before anything is written.
    if (rows) {
        for (int done = 0; done < image.height();) {
            done = std::min(image.height(), done + BlockRows);
            if (const int answer = rows(static_cast<int>(std::lround(done * 100.0 / image.height())));
                answer != SUCCESS)
                return answer;
        }
    }
    if (paged)
        return savePage(fileName, {image, {}, false, bitmap.xResolution, bitmap.yResolution}, options);
    // Qt reads GIF files but does not write them.
    if (format == FILE_GIF)
        return writeGifFrames(fileName, {image}, options.loop);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return ERROR_FILE_OPEN;
    QImageWriter writer(&file, qt);
    // Quality factor 2 (best) .. 255 as a quality of 100 .. 1.
    writer.setQuality(std::clamp(102 - qualityFactor, 1, 100));
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.error() == QImageWriter::UnsupportedFormatError ? ERROR_FEATURE_NOT_SUPPORTED
                                                                       : ERROR_FILE_WRITE;
    }
    return file.commit() ? SUCCESS : ERROR_FILE_WRITE;
}

int ImagingLibrary::saveBitmapList(const QString &fileName, const BitmapList &list, int format, int bits,
                                   int qualityFactor, const SaveOptions &options)
{
    if (list.empty())
        return ERROR_NO_BITMAP;
    if (fileName.isEmpty())
        return ERROR_INV_FILENAME;
    if (format == FILE_GIF) {
        // Every item a frame of the one file.
        std::vector<QImage> frames;
        for (const Bitmap &b : list) {
            if (!isAllocated(&b) || b.pixels.isNull())
                return ERROR_NO_BITMAP;
            frames.push_back(savedPixels(b, bits > 0 && bits <= 8 ? bits : 0));
        }
        return writeGifFrames(fileName, frames, options.loop);
    }
    // Other formats hold one picture: a list of one is that picture.
    if (list.size() == 1)
        return saveBitmap(fileName, list.front(), format, bits, qualityFactor, {}, options);
    return ERROR_FEATURE_NOT_SUPPORTED;
}

int ImagingLibrary::saveBitmapWithLayers(const QString &fileName, const Bitmap &bitmap, int format, int bits,
                                         int, const BitmapList &layers, const std::vector<LayerInfo> &table,
                                         const SaveOptions &)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    if (fileName.isEmpty())
        return ERROR_INV_FILENAME;
    // Layers are kept in TIFF files only: the picture on the first page and
    // each layer on a page of its own, placed by its position.
    if (!isTiff(format))
        return ERROR_FEATURE_NOT_SUPPORTED;
    std::vector<TiffPage> pages{{savedPixels(bitmap, bits), {}, false, bitmap.xResolution, bitmap.yResolution}};
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const Bitmap &layer = layers[i];
        if (!isAllocated(&layer) || layer.pixels.isNull())
            return ERROR_NO_BITMAP;
        const QPoint at = i < table.size() ? table[i].position : QPoint();
        pages.push_back({savedPixels(layer, bits), at, true, layer.xResolution, layer.yResolution});
    }
    return writeTiffPages(fileName, pages);
}

int ImagingLibrary::rotate(Bitmap &bitmap, int angle, unsigned flags, QRgb fill, const StatusCallback &status)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    if (angle < -36000 || angle > 36000)
        return ERROR_INV_PARAMETER;
    if (status) {
        if (const int answer = status(0); answer != SUCCESS)
            return answer;
    }
    const QImage &original = bitmap.pixels;
    QImage result;
    const int a = ((angle % 36000) + 36000) % 36000;
    if (a % 9000 == 0) {
        // Quarter turns move pixels exactly; positive angles turn
        // counter-clockwise, Qt's transform turns clockwise.
        result = a == 0 ? original.copy() : original.transformed(QTransform().rotate(-a / 100.0));
        if (!(flags & ROTATE_RESIZE) && result.size() != original.size())
            result = result.copy(QRect(QPoint((result.width() - original.width()) / 2,
                                              (result.height() - original.height()) / 2),
                                       original.size()));
    } else {
        const QImage work = workImage(original);
        QTransform turn;
        turn.rotate(-angle / 100.0);
        const QRectF turned = turn.mapRect(QRectF(work.rect()));
        const QSize size = (flags & ROTATE_RESIZE)
                               ? QSize(static_cast<int>(std::ceil(turned.width() - 1e-6)),
                                       static_cast<int>(std::ceil(turned.height() - 1e-6)))
                               : work.size();
        result = QImage(size, work.format());
        if (result.isNull())
            return ERROR_NO_MEMORY;
        result.fill(fill | 0xFF000000u);
        QPainter p(&result);
        p.setRenderHint(QPainter::SmoothPixmapTransform, (flags & ROTATE_RESAMPLE) != 0);
        p.translate(size.width() / 2.0, size.height() / 2.0);
        p.rotate(-angle / 100.0);
        p.translate(-work.width() / 2.0, -work.height() / 2.0);
        p.drawImage(0, 0, work);
        p.end();
        result = backToFormat(result, original);
    }
    if (status) {
        if (const int answer = status(100); answer != SUCCESS)
            return answer;
    }
    setImage(bitmap, result);
    return SUCCESS;
}

int ImagingLibrary::changeContrast(Bitmap &bitmap, int change, const StatusCallback &status)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    change = std::clamp(change, -1000, 1000);
    // Distances from the middle grey grow (or shrink) by change tenths of a
    // per cent; -1000 gives a flat grey.
    std::array<int, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = std::clamp(static_cast<int>(std::lround(128 + (i - 128) * (1000.0 + change) / 1000.0)), 0, 255);
    return mapChannels(bitmap, table, status);
}

int ImagingLibrary::changeIntensity(Bitmap &bitmap, int change, const StatusCallback &status)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    change = std::clamp(change, -1000, 1000);
    // Every channel moves by change tenths of a per cent of the full scale.
    std::array<int, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = std::clamp(static_cast<int>(std::lround(i + 255.0 * change / 1000.0)), 0, 255);
    return mapChannels(bitmap, table, status);
}

LoadInfoCallback ImagingLibrary::setLoadInfoCallback(LoadInfoCallback callback)
{
    std::swap(loadInfo_, callback);
    return callback;
}

int ImagingLibrary::rotateViewPerspective(Bitmap &bitmap, int angle)
{
    if (!isAllocated(&bitmap))
        return ERROR_NO_BITMAP;
    // The quarter-turned perspectives in the order of a clockwise turn.
    static constexpr int next[9] = {0, 6, 7, 8, 5, 2, 3, 4, 1};
    const int turns = ((angle % 360) + 360) % 360;
    if (turns % 90 != 0)
        return ERROR_INV_PARAMETER;
    int vp = bitmap.viewPerspective >= 1 && bitmap.viewPerspective <= 8 ? bitmap.viewPerspective : 1;
    for (int i = 0; i < turns / 90; ++i)
        vp = next[vp];
    bitmap.viewPerspective = vp;
    return SUCCESS;
}

} // namespace platform::imaging
