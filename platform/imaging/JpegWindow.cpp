// JPEG windows through libjpeg's scaled decoding, row skipping and column
// cropping.

#include "platform/imaging/JpegWindow.h"

#include "platform/imaging/ImagingErrors.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace platform::imaging {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// The decoder's warnings (a picture cut short reads as grey) are not the
// user's business; its errors come back as codes.
void silent(j_common_ptr) {}

// Everything the decoding owns, made before the decoder can jump back, so
// that a jump skips no destructor.
struct Decoding {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    bool created = false;
    bool headerRead = false;
    std::vector<int> columns;
    std::vector<JSAMPLE> row;
    QImage image;
    ~Decoding()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

// The decoded row or column that place `i` of `count` shows of `size`.
int source(int i, int count, int size)
{
    return static_cast<int>((2LL * i + 1) * size / (2LL * count));
}

int decode(Decoding &d, std::FILE *file, QSize scaled, const QRect &window)
{
    jpeg_decompress_struct &c = d.cinfo;
    c.err = jpeg_std_error(&d.errors.pub);
    d.errors.pub.error_exit = errorExit;
    d.errors.pub.output_message = silent;
    // What fails before the header is read is not a JPEG picture.
    if (setjmp(d.errors.jump))
        return d.headerRead ? ERROR_FILE_READ : ERROR_FILE_FORMAT;
    jpeg_create_decompress(&c);
    d.created = true;
    jpeg_stdio_src(&c, file);
    if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK)
        return ERROR_FILE_FORMAT;
    d.headerRead = true;
    const QSize full(static_cast<int>(c.image_width), static_cast<int>(c.image_height));
    if (!scaled.isValid())
        scaled = full;
    if (full.isEmpty() || scaled.isEmpty() || window.isEmpty() || !QRect(QPoint(0, 0), scaled).contains(window))
        return ERROR_INV_RANGE;
    const bool grey = c.jpeg_color_space == JCS_GRAYSCALE;
    if (!grey && c.jpeg_color_space != JCS_YCbCr && c.jpeg_color_space != JCS_RGB)
        return ERROR_IMAGE_TYPE;
    // Rows straight into 32-bit colours of the machine's byte order.
    c.out_color_space = grey ? JCS_GRAYSCALE : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB);
    // The smallest reduction the decoder offers (eighths) that still gives
    // at least the size wanted.
    int eighths = 1;
    for (; eighths < 8; ++eighths)
        if ((std::int64_t(full.width()) * eighths + 7) / 8 >= scaled.width() &&
            (std::int64_t(full.height()) * eighths + 7) / 8 >= scaled.height())
            break;
    c.scale_num = static_cast<unsigned>(eighths);
    c.scale_denom = 8;
    jpeg_start_decompress(&c);
    const int decodedWidth = static_cast<int>(c.output_width), decodedHeight = static_cast<int>(c.output_height);

    d.columns.resize(static_cast<std::size_t>(window.width()));
    for (int x = 0; x < window.width(); ++x)
        d.columns[static_cast<std::size_t>(x)] = source(window.left() + x, scaled.width(), decodedWidth);
    // The decoder widens the crop to whole blocks on the left and says
    // where it begins. Its last column is smoothed from a copy of itself
    // rather than from its true neighbour, so the crop goes a block further
    // right than the window needs.
    const int block = c.max_h_samp_factor * c.min_DCT_scaled_size;
    JDIMENSION left = static_cast<JDIMENSION>(d.columns.front());
    JDIMENSION width = static_cast<JDIMENSION>(std::min(d.columns.back() + block, decodedWidth - 1) -
                                               d.columns.front() + 1);
    if (static_cast<int>(width) < decodedWidth)
        jpeg_crop_scanline(&c, &left, &width);
    else
        left = 0;
    d.row.resize(std::size_t(c.output_width) * static_cast<std::size_t>(c.output_components));
    d.image = QImage(window.size(), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (d.image.isNull())
        return ERROR_NO_MEMORY;
    // The resolution the file states (dots per inch or per centimetre).
    if (c.saw_JFIF_marker && c.X_density > 0 && c.Y_density > 0 && (c.density_unit == 1 || c.density_unit == 2)) {
        const double perMetre = c.density_unit == 1 ? 1 / 0.0254 : 100;
        d.image.setDotsPerMeterX(static_cast<int>(std::lround(c.X_density * perMetre)));
        d.image.setDotsPerMeterY(static_cast<int>(std::lround(c.Y_density * perMetre)));
    }

    int rowRead = -1; // the decoded row in d.row
    for (int y = 0; y < window.height(); ++y) {
        const int wanted = source(window.top() + y, scaled.height(), decodedHeight);
        if (wanted != rowRead) {
            const int next = static_cast<int>(c.output_scanline);
            if (wanted > next)
                jpeg_skip_scanlines(&c, static_cast<JDIMENSION>(wanted - next));
            JSAMPROW rows[1] = {d.row.data()};
            if (jpeg_read_scanlines(&c, rows, 1) != 1)
                return ERROR_FILE_READ;
            rowRead = wanted;
        }
        uchar *line = d.image.scanLine(y);
        if (grey) {
            for (int x = 0; x < window.width(); ++x)
                line[x] = d.row[static_cast<std::size_t>(d.columns[static_cast<std::size_t>(x)]) - left];
        } else {
            auto *pixels = reinterpret_cast<QRgb *>(line);
            const auto *decoded = reinterpret_cast<const std::uint32_t *>(d.row.data());
            for (int x = 0; x < window.width(); ++x)
                pixels[x] = decoded[static_cast<std::size_t>(d.columns[static_cast<std::size_t>(x)]) - left] |
                            0xFF000000u;
        }
    }
    // The rows below the window are never decoded.
    jpeg_abort_decompress(&c);
    return SUCCESS;
}

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

} // namespace

int readJpegWindow(const QString &fileName, QSize scaled, const QRect &window, QImage &out)
{
    if (!QFile::exists(fileName))
        return ERROR_FILENOTFOUND;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(fileName).constData(), "rb"));
    if (!file)
        return ERROR_FILE_OPEN;
    Decoding d;
    const int r = decode(d, file.get(), scaled, window);
    if (r == SUCCESS)
        out = d.image;
    return r;
}

} // namespace platform::imaging
