#include "app/StyleRenderers.h"

#include "app/FStart.h"

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
    if (installed)
        return *installed;
    if (Start)
        return *Start;
    static mapengine::StyleServices withoutLibraries;
    return withoutLibraries;
}

} // namespace app
