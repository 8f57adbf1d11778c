#pragma once
// The system's own TIFF reader: little-endian TIFF files of strips, read
// page by page, of which only a window is decoded into a bitmap no taller
// than the output. It reads the directories (TTIFFIFD) and their tags, and
// picks the strip decoder by the page's compression (TiffDecoders.h).
//
// Every read goes through a TiffStream at an explicit position and is
// checked against the file's size first: a value, a strip or a directory
// named past the file's end is refused, never read.

#include "raster/Dib.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace raster {

// The reader's messages.
QString tiffReadErrorText();         // "Ошибка чтения файла."
QString tiffStructureErrorText();    // "Ошибка структуры файла."
QString tiffFormatErrorText();       // "Неподдерживаемый формат изображения."
QString tiffCompressionErrorText();  // "Неподдерживаемый формат сжатия."

// An error of the reader; what() is UTF-8.
class TiffError : public std::runtime_error {
public:
    explicit TiffError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// Where the reader's bytes come from.
class TiffStream {
public:
    virtual ~TiffStream() = default;
    virtual qint64 size() const = 0;
    // Reads n bytes at pos into out; the number read (less at the end).
    virtual qint64 readAt(qint64 pos, char *out, qint64 n) = 0;
};

class TiffFileStream : public TiffStream {
public:
    // Raises TiffError when the file cannot be opened for reading.
    explicit TiffFileStream(const QString &fileName);
    qint64 size() const override { return size_; }
    qint64 readAt(qint64 pos, char *out, qint64 n) override;

private:
    QFile file_;
    qint64 size_ = 0;
};

class TiffMemoryStream : public TiffStream {
public:
    explicit TiffMemoryStream(QByteArray bytes) : bytes_(std::move(bytes)) {}
    qint64 size() const override { return bytes_.size(); }
    qint64 readAt(qint64 pos, char *out, qint64 n) override;

private:
    QByteArray bytes_;
};

// Tags the reader looks at.
enum TiffTag : std::uint16_t {
    tagImageWidth = 256,
    tagImageLength = 257,
    tagBitsPerSample = 258,
    tagCompression = 259,
    tagPhotometric = 262,
    tagStripOffsets = 273,
    tagRowsPerStrip = 278,
    tagStripByteCounts = 279,
    tagPredictor = 317,
    tagColorMap = 320,
};

// Photometric interpretations.
enum : int {
    phWhiteIsZero = 0,
    phBlackIsZero = 1,
    phRgb = 2,
    phPalette = 3,
    phSeparated = 5,
    phCieLab = 8,
};

// One image file directory: a page.
class TTIFFIFD {
public:
    // Reads the directory at `offset` of the stream (which outlives it) and
    // gives the offset of the next one. Raises TiffError: "Ошибка чтения
    // файла." for a directory the file does not hold, "Ошибка структуры
    // файла." without PhotometricInterpretation or Compression, or with
    // colour samples counted short, "Неподдерживаемый формат изображения."
    // for sample sizes its kind does not take.
    TTIFFIFD(TiffStream &stream, qint64 offset, std::uint32_t &next);

    // The values of a tag (RATIONAL ones as numerator, denominator pairs),
    // every one of those stored inline included; its count, 0 when absent
    // (an entry of a type not read or of count 0 counts as absent). Raises
    // "Ошибка чтения файла." for values the file does not hold.
    std::int64_t GetTag(int tag, std::vector<std::uint32_t> &values) const;
    // The first value of a tag, or `fallback` when it is absent.
    std::uint32_t tagValue(int tag, std::uint32_t fallback) const;

    qint64 Offset() const { return offset_; }
    int Photometric() const { return photometric_; }
    std::uint32_t Compression() const { return compression_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    TiffStream &Stream() const { return stream_; }

    // Decodes the window (left, top, width, height in picture pixels) into a
    // bitmap as wide as the window and at most `outputHeight` rows tall, the
    // gamma table applied when gamma is not 0. None when the page has no size
    // or the window does not lie inside it. Raises the reader's errors.
    // `whole` (when given) tells whether the file held every row decoded:
    // rows it does not hold stay zero.
    std::optional<Dib> DecodeRegion(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                                    int outputHeight, double gamma, bool *whole = nullptr) const;

private:
    TiffStream &stream_;
    qint64 offset_ = 0;
    QByteArray entries_;   // the directory's 12-byte entries
    int photometric_ = 0;
    std::uint32_t compression_ = 0;
    int bitsPerPixel_ = 0;
};

// A TIFF file's pages.
class TTIFFBitmap {
public:
    TTIFFBitmap() = default;
    ~TTIFFBitmap();
    TTIFFBitmap(const TTIFFBitmap &) = delete;
    TTIFFBitmap &operator=(const TTIFFBitmap &) = delete;

    void Clear();
    // Opens the file for reading (a file that cannot be opened raises) and
    // reads its pages.
    bool LoadFromFile(const QString &fileName);
    // Reads the pages of a stream that outlives this object: a file that is
    // no little-endian TIFF ("II", 42) has none. The chain of directories
    // ends at an offset below 8 or at a directory already read. An error
    // clears and passes on.
    bool LoadFromStream(TiffStream &stream);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    const TTIFFIFD &Page(int index) const { return *pages_[static_cast<size_t>(index)]; }

    // DecodeRegion of page `page` (from 1); none for a page out of range.
    std::optional<Dib> GetPageRegion(int page, std::int64_t left, std::int64_t top, std::int64_t width,
                                     std::int64_t height, int outputHeight, double gamma,
                                     bool *whole = nullptr) const;

private:
    std::unique_ptr<TiffStream> owned_;
    QString fileName_;
    std::vector<std::unique_ptr<TTIFFIFD>> pages_;
};

} // namespace raster
