#pragma once
// What the map window hands the render job besides the style services: the
// raster services.

namespace mapengine {
class RasterServices;
}

namespace app::render {

// The raster services raster objects go to: by default (null) the map
// control's own; tests install one that records the calls.
mapengine::RasterServices *rasterServices();
void setRasterServices(mapengine::RasterServices *services);

} // namespace app::render
