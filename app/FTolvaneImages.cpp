// The map window's raster-image commands: opening pictures and registration
// files as raster objects, and the image list of the current layer.

#include "app/FTolvane.h"

#include "app/CommandErrors.h"
#include "dialogs/FListImages.h"
#include "dialogs/OpenImage.h"

void TTolvane::tbOpenImageClick()
{
    app::runCommand([&] { dialogs::OpenImages(*MapImage); });
}

void TTolvane::aListImageExecute()
{
    if (!ValidLayer(ShownLayerIndex()))
        return;
    app::runCommand([&] { ListImages()->Execute(); });
}
