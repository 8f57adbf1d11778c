#pragma once
// Windows the mouse tools open that come with later dialogs: the information
// panel of the selected objects (TEditInfo) and the registration of a raster
// image by its control points (TRegForm with the raster store). Until they
// exist the panel shows nothing and a registration is cancelled; tests
// install their own.

#include "mapengine/MapControlCore.h"

#include <functional>

namespace app {

struct ToolWindows {
    // Shows the information panel (modeless) on the map control's selection.
    std::function<void()> showEditInfo;
    // Edits the control points of the raster object (layer, object index)
    // and stores it; true when accepted, with the image's new box.
    std::function<bool(int layer, int index, TMapExtent &box)> registerImage;
};

ToolWindows &toolWindows();

} // namespace app
