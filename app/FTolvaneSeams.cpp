// Commands of the map window whose subsystems are not in the program yet:
// reports and the picture export. Each is a named, empty entry
// point that its subsystem fills; until then the command does nothing.

#include "app/FTolvane.h"

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
