#pragma once
// The style services the map window draws with and hands to the render job:
// the service platform::Service<mapengine::StyleServices>, which the frame
// fills with itself (it holds the libraries it loaded at start; the pickers
// read them there), a set without libraries while there is no frame; tests
// install services that record.

namespace mapengine {
class StyleServices;
}

namespace app {

mapengine::StyleServices &styleRenderers();
// Null puts back the frame's.
void setStyleRenderers(mapengine::StyleServices *services);

} // namespace app
