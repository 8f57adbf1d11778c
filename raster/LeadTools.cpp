// The imaging routines over hidden imaging controls.

#include "raster/LeadTools.h"

#include "platform/Rounding.h"
#include "platform/gdi/Canvas.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"
#include "raster/LeadImage.h"
#include "raster/RasterPlacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace raster {

namespace img = platform::imaging;
using platform::gdi::Canvas;

namespace {

int toInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

int rounded(double v)
{
    return static_cast<int>(std::clamp<double>(std::lround(v), INT32_MIN, INT32_MAX));
}

// The layer's gamma as intensity, then its contrast.
void adjust(TLEADImage &image, int gamma, int contrast)
{
    if (gamma > 0)
        image.Intensity(rounded(gamma * 12.75 * 4));
    if (contrast > 0)
        image.Contrast(contrast * 10);
}

// The hidden control of a routine. A window load reports a file it cannot
// read by its result only; a drawing raises it as the control's error
// rather than copying an empty picture without a word.
class HiddenImage : public TLEADImage {
public:
    using TLEADImage::TLEADImage;
    void RaiseFailedLoad(const QString &operation, int result)
    {
        if (result != img::SUCCESS)
            RaiseError(operation, result);
    }
};

// The settings of a control that draws.
void drawingControl(TLEADImage &image)
{
    image.SetProperty(QStringLiteral("AutoSetRects"), false);
    image.SetProperty(QStringLiteral("AutoRepaint"), true);
    image.SetProperty(QStringLiteral("AutoScroll"), false);
}

} // namespace

bool GetImageFileInfo(QObject *parent, const QString &fileName, std::int32_t &width, std::int32_t &height,
                      std::int32_t &divisorX, std::int32_t &divisorY)
{
    TLEADImage image(parent);
    image.GetFileInfo(fileName, 0);
    width = image.InfoWidth;
    height = image.InfoHeight;
    divisorX = 1;
    divisorY = 1;
    if (QFileInfo(fileName.trimmed()).suffix().toLower() != QLatin1String("sid")) {
        if (image.InfoXRes > 0 && image.InfoYRes > 0) {
            divisorX = sheetPixelsPerMetre(image.InfoXRes);
            divisorY = sheetPixelsPerMetre(image.InfoYRes);
        }
    } else {
        image.ReadLoadResolutions(fileName);
        if (image.LoadResolutionCount > 0) {
            width = image.LoadResolutionWidth(0);
            height = image.LoadResolutionHeight(0);
        }
    }
    return true;
}

bool DrawImageWithLead(QObject *parent, Canvas &canvas, const ImageDrawing &d)
{
    const std::uint32_t rop = platform::gdi::rop3FromRasterIndex(d.rasterIndex);
    // Drawings (".dwg") are not drawn: there is no reader for them here,
    // so they are passed over before the file is asked about.
    if (d.fileName.toUpper().contains(QLatin1String(".DWG")))
        return true;
    HiddenImage image(parent);
    image.GetFileInfo(d.fileName, 0);
    drawingControl(image);
    const int bits = std::max(8, image.InfoBits);
    canvas.setStretchBltMode(platform::gdi::COLORONCOLOR);
    const int dl = toInt(d.destination.left), dt = toInt(d.destination.top);
    const int dw = toInt(d.destination.width()), dh = toInt(d.destination.height());
    const Edges &s = d.source;
    if (s.left == 0 && s.top == 0 && s.right == image.InfoWidth && s.bottom == image.InfoHeight) {
        // The whole picture at the size it is shown.
        image.LoadResize(d.fileName, dw, dh, 0, bits);
        adjust(image, d.gamma, d.contrast);
        const QImage *dc = image.GetBitmapDC();
        canvas.bitBlt(dl, dt, dw, dh, *dc, 0, 0, rop);
        image.ReleaseBitmapDC();
        return true;
    }
    const int shownW = rounded(image.InfoWidth / d.kx), shownH = rounded(image.InfoHeight / d.ky);
    if (image.InfoWidth / 2.0 > shownW && image.InfoHeight / 2.0 > shownH) {
        // Shown at less than half its size: the whole picture reduced, and
        // the window copied out of it.
        const int left = rounded(s.left / d.kx), top = rounded(s.top / d.ky);
        // Only the window is copied: the rows below it need no decoding.
        image.LoadResizeNeeded = QRect(left, top, dw, dh);
        image.LoadResize(d.fileName, shownW, shownH, 0, bits);
        image.LoadResizeNeeded = {};
        adjust(image, d.gamma, d.contrast);
        const QImage *dc = image.GetBitmapDC();
        canvas.bitBlt(dl, dt, dw, dh, *dc, left, top, rop);
        image.ReleaseBitmapDC();
        return true;
    }
    // The window at full resolution, stretched.
    const int w = std::max(1, toInt(s.width())), h = std::max(1, toInt(s.height()));
    image.RaiseFailedLoad(QStringLiteral("LoadFileTile"),
                          image.LoadFileTile(d.fileName, bits, 0, -1, toInt(s.left), toInt(s.top), w, h));
    adjust(image, d.gamma, d.contrast);
    if (dw > 0 && dh > 0) {
        const QImage *dc = image.GetBitmapDC();
        canvas.stretchBlt(dl, dt, dw, dh, *dc, QRect(0, 0, w, h), rop);
        image.ReleaseBitmapDC();
    }
    return true;
}

bool DrawMultiResolutionImage(QObject *parent, Canvas &canvas, const ImageDrawing &d)
{
    const std::uint32_t rop = platform::gdi::rop3FromRasterIndex(d.rasterIndex);
    HiddenImage image(parent);
    image.GetFileInfo(d.fileName, 0);
    image.ReadLoadResolutions(d.fileName);
    const bool levels = image.LoadResolutionCount > 0;
    const int w0 = levels ? image.LoadResolutionWidth(0) : image.InfoWidth;
    const int h0 = levels ? image.LoadResolutionHeight(0) : image.InfoHeight;
    // Both sizes by the horizontal ratio.
    const int wantW = rounded(w0 / d.kx), wantH = rounded(w0 > 0 ? h0 / d.kx : 0);
    int level = std::max(0, image.LoadResolutionCount - 1);
    for (; level > 0; --level)
        if (image.LoadResolutionWidth(level) >= wantW || image.LoadResolutionHeight(level) >= wantH)
            break;
    const int wl = levels ? image.LoadResolutionWidth(level) : w0;
    const int hl = levels ? image.LoadResolutionHeight(level) : h0;
    drawingControl(image);
    image.SetLoadResolution(image.InfoFormat, wl, hl);
    const double rx = wl > 0 ? double(w0) / wl : 1, ry = hl > 0 ? double(h0) / hl : 1;
    const int l = std::clamp(rounded(d.source.left / rx), 0, wl);
    const int t = std::clamp(rounded(d.source.top / ry), 0, hl);
    const int r = std::clamp(rounded(d.source.right / rx), 1, std::max(1, wl));
    const int b = std::clamp(rounded(d.source.bottom / ry), 1, std::max(1, hl));
    image.LoadExtra = image.InfoExtra;
    image.LoadExtraFlag = true;
    canvas.setStretchBltMode(platform::gdi::COLORONCOLOR);
    const int loaded = image.LoadFileTile(d.fileName, image.InfoBits, 0, -1, l, t, r - l, b - t);
    if (loaded != img::SUCCESS) {
        image.LoadExtra = 0;
        img::library().setLoadResolution(image.InfoFormat, 0, 0);
        image.RaiseFailedLoad(QStringLiteral("LoadFileTile"), loaded);
    }
    adjust(image, d.gamma, d.contrast);
    const QImage *dc = image.GetBitmapDC();
    canvas.stretchBlt(toInt(d.destination.left), toInt(d.destination.top), toInt(d.destination.width()),
                      toInt(d.destination.height()), *dc, QRect(0, 0, r - l, b - t), rop);
    image.ReleaseBitmapDC();
    image.LoadExtra = 0;
    // The level stays chosen for this format only while drawing.
    img::library().setLoadResolution(image.InfoFormat, 0, 0);
    return true;
}

bool ConvertImageFile(QObject *parent, const QString &source, const QString &destination, int format, int bits)
{
    TLEADImage image(parent);
    image.GetFileInfo(source, 0);
    image.Load(source, 0, 0, -1);
    image.Save(destination, format, bits, 8, 0);
    image.SaveExtra = 0;
    return true;
}

bool RotateImageFile(QObject *parent, const QString &fileName, double angle)
{
    TLEADImage image(parent);
    image.GetFileInfo(fileName, 0);
    image.SaveExtra = image.InfoExtra;
    image.SetProperty(QStringLiteral("AutoSize"), true);
    image.Load(fileName, 0, 0, -1);
    image.Rotate(rounded(angle * 100), img::ROTATE_RESIZE | img::ROTATE_RESAMPLE, qRgb(255, 255, 255));
    const int format = image.InfoFormat == img::FILE_TIF_PAGES ? img::FILE_TIF : image.InfoFormat;
    // A new file beside the picture, put in its place only when written
    // whole: a failed save leaves the picture as it was.
    const QFileInfo info(fileName);
    const QString temporary = info.dir().filePath(QStringLiteral(".%1.rotating").arg(info.fileName()));
    // The first page turns; the file's other pages stay as they were rather
    // than being lost with a file of one page.
    const bool pages = image.HasBitmapList() && image.BitmapListCount() > 1 && format == img::FILE_TIF;
    try {
        if (pages) {
            QFile::remove(temporary);
            if (!QFile::copy(fileName, temporary))
                return false;
            image.SavePage = 1;
            image.Save(temporary, format, image.InfoBits, 8, 2);
        } else {
            image.Save(temporary, format, image.InfoBits, 8, 0);
        }
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    image.SaveExtra = 0;
    if (image.LastError != img::SUCCESS || std::rename(QFile::encodeName(temporary).constData(),
                                                       QFile::encodeName(fileName).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

bool LeadImagingRoutines::GetImageFileInfo(QObject *parent, const QString &fileName, std::int32_t &width,
                                           std::int32_t &height, std::int32_t &divisorX, std::int32_t &divisorY)
{
    return raster::GetImageFileInfo(parent, fileName, width, height, divisorX, divisorY);
}

bool LeadImagingRoutines::DrawImageWithLead(QObject *parent, Canvas &canvas, const ImageDrawing &drawing)
{
    return raster::DrawImageWithLead(parent, canvas, drawing);
}

bool LeadImagingRoutines::DrawMultiResolutionImage(QObject *parent, Canvas &canvas, const ImageDrawing &drawing)
{
    return raster::DrawMultiResolutionImage(parent, canvas, drawing);
}

} // namespace raster

template <>
raster::ImagingRoutines &platform::Service<raster::ImagingRoutines>::fallback()
{
    static raster::LeadImagingRoutines routines;
    return routines;
}
