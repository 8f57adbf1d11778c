// A TIFF window on a canvas.

#include "raster/TiffDrawing.h"

#include "raster/TiffReader.h"

#include "platform/gdi/Canvas.h"

#include <algorithm>

namespace raster {

namespace {

int toInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

bool DrawTiffRegion(const QString &fileName, platform::gdi::Canvas &canvas, const Edges &source,
                    const Edges &destination, int rasterIndex, double gamma)
{
    const std::uint32_t rop = platform::gdi::rop3FromRasterIndex(rasterIndex);
    const std::int64_t dw = destination.width(), dh = destination.height();
    if (dw <= 0 || dh <= 0)
        return false;
    TTIFFBitmap tiff;
    tiff.LoadFromFile(fileName);
    bool whole = true;
    const std::optional<Dib> dib =
        tiff.GetPageRegion(1, source.left, source.top, source.width(), source.height(), toInt(dh), gamma, &whole);
    if (!dib)
        return false;
    // Columns beyond the rectangle's are picked here, as the stretch would
    // pick them, so that only the pixels drawn travel with the picture.
    const QImage image = dib->toImage(toInt(std::min<std::int64_t>(dw, dib->width())));
    if (image.isNull())
        return false;
    canvas.setStretchBltMode(platform::gdi::COLORONCOLOR);
    canvas.stretchBlt(toInt(destination.left), toInt(destination.top), toInt(dw), toInt(dh), image,
                      QRect(0, 0, image.width(), image.height()), rop);
    // What the file holds is drawn; that it holds less than the page says
    // is not passed over.
    if (!whole)
        throw TiffError(tiffReadErrorText());
    return true;
}

} // namespace raster
