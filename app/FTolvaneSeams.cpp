// Commands of the map window whose subsystems are not in the program yet:
// raster images, reports and the picture export. Each is a named, empty entry
// point that its subsystem fills; until then the command does nothing.

#include "app/FTolvane.h"

// ---- raster images ----
void TTolvane::tbOpenImageClick() {}
void TTolvane::aListImageExecute() {}

// ---- reports and the picture export ----
void TTolvane::N130Click() {}
void TTolvane::N131Click() {}
void TTolvane::N134Click() {}
void TTolvane::N33Click() {}
void TTolvane::N135Click() {}
void TTolvane::N52Click() {}
void TTolvane::N124Click() {}
void TTolvane::N95Click() {}
void TTolvane::N54Click() {}
