#pragma once
// The style services the map window draws with and hands to the render job:
// the frame's by default (the frame holds the libraries it loaded at start),
// a set without libraries while there is no frame; tests install services
// that record.

namespace mapengine {
class StyleServices;
}

namespace app {

mapengine::StyleServices &styleRenderers();
// Null puts back the frame's.
void setStyleRenderers(mapengine::StyleServices *services);

} // namespace app
