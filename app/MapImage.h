#pragma once
// The map control the map window holds. The map engine's TMapVyk widget is
// used as soon as it exists; until then a minimal stand-in with the same
// names keeps the window building: it holds the view values and does the view
// arithmetic the window needs, and draws nothing.

#if __has_include("mapengine/MapVyk.h")
#include "mapengine/MapVyk.h"
#else
#include "app/MapVykStandIn.h"
#endif
