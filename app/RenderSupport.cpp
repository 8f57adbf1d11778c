#include "app/RenderSupport.h"

namespace app::render {

namespace {
mapengine::RasterServices *installedRasterServices = nullptr;
} // namespace

mapengine::RasterServices *rasterServices()
{
    return installedRasterServices;
}

void setRasterServices(mapengine::RasterServices *services)
{
    installedRasterServices = services;
}

} // namespace app::render
