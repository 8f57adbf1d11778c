#include "app/StyleRenderers.h"

#include "mapengine/StyleRenderers.h"
#include "platform/Service.h"

namespace app {

namespace {
mapengine::StyleServices *installed = nullptr;
} // namespace

void setStyleRenderers(mapengine::StyleServices *services)
{
    installed = services;
}

mapengine::StyleServices &styleRenderers()
{
    // The frame installs itself as the service; without it, services
    // without libraries.
    if (installed)
        return *installed;
    return platform::Service<mapengine::StyleServices>::get();
}

} // namespace app
