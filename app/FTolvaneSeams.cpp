// Commands of the map window whose subsystems are not in the program yet:
// the map page and the picture print. Each is a named, empty entry point
// that its subsystem fills; until then the command does nothing.

#include "app/FTolvane.h"

// ---- map page and picture print ----
void TTolvane::N33Click() {}
void TTolvane::N52Click() {}
