// Pictures saved into and loaded from bytes.

#include "platform/imaging/MemoryImage.h"

#include "platform/imaging/ImagingErrors.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>

namespace platform::imaging {

namespace {

// A reader of the bytes; a buffer of its own keeps them readable.
struct MemoryReader {
    QBuffer buffer;
    QImageReader reader;
    explicit MemoryReader(const QByteArray &data)
    {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
    }
};

QImage inBits(const QImage &image, int bits)
{
    const QImage::Format f = bits > 0 && bitsOf(image) != bits ? formatForBits(bits) : QImage::Format_Invalid;
    if (f == QImage::Format_Invalid)
        return image;
    return image.convertToFormat(f, Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

int saveBitmapMemory(const Bitmap &bitmap, int format, int bits, int qualityFactor, QByteArray &out)
{
    if (!isAllocated(&bitmap) || bitmap.pixels.isNull())
        return ERROR_NO_BITMAP;
    const QByteArray qt = format == FILE_MEMORY ? QByteArray("png") : qtFormatOf(format);
    if (qt.isEmpty() || !QImageWriter::supportedImageFormats().contains(qt))
        return ERROR_FEATURE_NOT_SUPPORTED;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, qt);
    // Quality factor 2 (best) .. 255 as a quality of 100 .. 1; the factors
    // below 2 are the library's lossless choices.
    if (qualityFactor >= 2)
        writer.setQuality(std::clamp(102 - qualityFactor, 1, 100));
    if (!writer.write(inBits(shownPixels(bitmap), bits)))
        return writer.error() == QImageWriter::UnsupportedFormatError ? ERROR_FEATURE_NOT_SUPPORTED
                                                                       : ERROR_FILE_WRITE;
    out = bytes;
    return SUCCESS;
}

int loadBitmapMemory(const QByteArray &data, int bits, Bitmap &out)
{
    MemoryReader m(data);
    QImageReader &reader = m.reader;
    if (!reader.canRead())
        return ERROR_FILE_FORMAT;
    const QImage image = reader.read();
    if (image.isNull())
        return reader.error() == QImageReader::UnsupportedFormatError ? ERROR_FILE_FORMAT : ERROR_FILE_READ;
    out = Bitmap::fromImage(inBits(image, bits));
    return SUCCESS;
}

int fileInfoMemory(const QByteArray &data, FileInfo &info)
{
    MemoryReader m(data);
    QImageReader &reader = m.reader;
    if (!reader.canRead())
        return ERROR_FILE_FORMAT;
    const QSize size = reader.size();
    if (!size.isValid())
        return ERROR_FILE_READ;
    FileInfo out;
    out.format = formatCodeOf(reader.format(), 1);
    out.width = size.width();
    out.height = size.height();
    out.bits = reader.imageFormat() != QImage::Format_Invalid ? bitsOf(QImage(1, 1, reader.imageFormat())) : 24;
    out.text = QString::fromLatin1(reader.format()).toUpper();
    out.totalPages = 1;
    info = out;
    return SUCCESS;
}

} // namespace platform::imaging
