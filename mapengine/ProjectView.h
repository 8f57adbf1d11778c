#pragma once
// The map control's part of a project's top level: its panel switches and
// the view's centre and scale. The map window adds its menu switches; a
// program that draws a project without a window uses these alone.

#include "mapdata/ProjectFile.h"

class MapControlCore;

namespace mapengine {

// The panel switches, the centre and the scale denominator ("Scale=0" while
// the view has no scale).
projectfile::ProjectView projectViewOf(const MapControlCore &map);

// Sets what the view holds of these (the scale from its denominator);
// switches the control does not have are left to the caller.
void applyProjectView(MapControlCore &map, const projectfile::ProjectView &view);

} // namespace mapengine
