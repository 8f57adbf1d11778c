#pragma once
// Drawing a window of a TIFF file's first page into a rectangle of a canvas
// in pixel units: only the window is decoded, at most as many rows as the
// rectangle is tall and as many columns as it is wide, and laid on the
// canvas as one stretched block copy (nearest neighbour, "colour on colour")
// with the raster operation of the image layer's index.

#include "raster/RasterPlacement.h"

#include <QString>

namespace platform::gdi {
class Canvas;
}

namespace raster {

// True when the picture was drawn. Nothing is drawn (false) for an empty
// destination, a file that is no little-endian TIFF or a window outside its
// first page; the reader's errors (TiffError) and a file that cannot be
// opened pass on. A file that holds less of the window than its page says
// is drawn as far as it goes, then "Ошибка чтения файла." is raised.
bool DrawTiffRegion(const QString &fileName, platform::gdi::Canvas &canvas, const Edges &source,
                    const Edges &destination, int rasterIndex, double gamma);

} // namespace raster
