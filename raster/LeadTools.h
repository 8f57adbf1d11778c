#pragma once
// The imaging routines: each makes one hidden imaging control for a single
// job and frees it at the end. They measure a picture file, draw a window
// of a picture (or of a stored level of a multi-resolution picture) into a
// rectangle of a canvas in pixel units, convert a file to another format
// and rotate a file. Failures arrive as the control's error
// (ELEADImageError).

#include "raster/ImagingRoutines.h"

#include <QString>

#include <cstdint>

class QObject;
namespace platform::gdi {
class Canvas;
}

namespace raster {

bool GetImageFileInfo(QObject *parent, const QString &fileName, std::int32_t &width, std::int32_t &height,
                      std::int32_t &divisorX, std::int32_t &divisorY);
bool DrawImageWithLead(QObject *parent, platform::gdi::Canvas &canvas, const ImageDrawing &drawing);
bool DrawMultiResolutionImage(QObject *parent, platform::gdi::Canvas &canvas, const ImageDrawing &drawing);
bool ConvertImageFile(QObject *parent, const QString &source, const QString &destination, int format, int bits);
// The rotated picture goes into a new file that replaces the original only
// once it is written whole.
bool RotateImageFile(QObject *parent, const QString &fileName, double angle);

// The routines as the map control reaches them; the program's default.
class LeadImagingRoutines : public ImagingRoutines {
public:
    bool GetImageFileInfo(QObject *parent, const QString &fileName, std::int32_t &width, std::int32_t &height,
                          std::int32_t &divisorX, std::int32_t &divisorY) override;
    bool DrawImageWithLead(QObject *parent, platform::gdi::Canvas &canvas, const ImageDrawing &drawing) override;
    bool DrawMultiResolutionImage(QObject *parent, platform::gdi::Canvas &canvas,
                                  const ImageDrawing &drawing) override;
};

} // namespace raster
