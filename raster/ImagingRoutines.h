#pragma once
// The imaging library's routines as the map control reaches them: the size
// and scale of a picture file, and the drawing of a window of a picture (one
// of many resolutions for ".sid" files) into a rectangle of a canvas in
// pixel units. Pictures other than the system's own TIFF files go through
// them. An implementation is installed as a service
// (platform::Service<ImagingRoutines>); the default one is that of the
// imaging library (LeadImagingRoutines). This base knows no picture: it
// measures nothing and draws nothing.

#include "platform/Service.h"
#include "raster/RasterPlacement.h"

#include <QString>

#include <cstdint>

class QObject;
namespace platform::gdi {
class Canvas;
}

namespace raster {

// What the drawers are given: the file, the window of its pixels, the
// device rectangle, the image layer's raster-operation index, gamma and
// contrast, and the picture pixels per device pixel on each axis.
struct ImageDrawing {
    QString fileName;
    Edges source;
    Edges destination;
    int rasterIndex = 0;
    int gamma = 0;
    int contrast = 0;
    double kx = 1, ky = 1;
};

class ImagingRoutines {
public:
    virtual ~ImagingRoutines() = default;
    // Width and height in pixels and the divisors that turn pixels into
    // metres of sheet (sheetPixelsPerMetre of the file's resolution, 1
    // without one). False, with nothing set, when the picture is not known.
    virtual bool GetImageFileInfo(QObject *parent, const QString &fileName, std::int32_t &width,
                                  std::int32_t &height, std::int32_t &divisorX, std::int32_t &divisorY);
    // True when the picture was drawn.
    virtual bool DrawImageWithLead(QObject *parent, platform::gdi::Canvas &canvas, const ImageDrawing &drawing);
    virtual bool DrawMultiResolutionImage(QObject *parent, platform::gdi::Canvas &canvas,
                                          const ImageDrawing &drawing);
};

} // namespace raster

// The imaging library's routines unless another is installed.
template <>
raster::ImagingRoutines &platform::Service<raster::ImagingRoutines>::fallback();

namespace raster {

inline ImagingRoutines &imagingRoutines()
{
    return platform::Service<ImagingRoutines>::get();
}

} // namespace raster
