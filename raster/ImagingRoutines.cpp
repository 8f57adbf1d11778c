// The imaging routines while no imaging library is installed: no picture
// is known.

#include "raster/ImagingRoutines.h"

namespace raster {

bool ImagingRoutines::GetImageFileInfo(QObject *, const QString &, std::int32_t &, std::int32_t &, std::int32_t &,
                                       std::int32_t &)
{
    return false;
}

bool ImagingRoutines::DrawImageWithLead(QObject *, platform::gdi::Canvas &, const ImageDrawing &)
{
    return false;
}

bool ImagingRoutines::DrawMultiResolutionImage(QObject *, platform::gdi::Canvas &, const ImageDrawing &)
{
    return false;
}

} // namespace raster
