#pragma once
// What the map window hands the render job besides the style services: the
// number format of measurement captions and the raster services.

#include <QString>

namespace mapengine {
class RasterServices;
}

namespace app::render {

// A number written by a format of the platform's number formats: "0"
// places a digit always, "#" a digit when there is one, the first "." the
// decimal separator and "," anywhere before it groups the thousands; text in
// quotes and other characters are copied; up to three sections (positive;
// negative; zero). An empty format gives the general float text.
QString formatNumber(const QString &format, double value);

// The raster services raster objects go to: by default (null) the map
// control's own; tests install one that records the calls.
mapengine::RasterServices *rasterServices();
void setRasterServices(mapengine::RasterServices *services);

} // namespace app::render
