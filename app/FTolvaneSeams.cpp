// Commands of the map window whose subsystems are not in the program yet: the
// mouse tools, raster images, GPS tracking, reports and the picture export.
// Each is a named, empty entry point that its subsystem fills; until then the
// command does nothing.

#include "app/FTolvane.h"


// ---- mouse tools ----
void TTolvane::DrawPickedObjects() {}
void TTolvane::MapImageDblClick() {}
void TTolvane::MapImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TTolvane::MapImageMouseMove(Qt::KeyboardModifiers, int, int) {}
void TTolvane::MapImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

// ---- raster images ----
void TTolvane::tbOpenImageClick() {}
void TTolvane::aListImageExecute() {}

// ---- GPS tracking ----
void TTolvane::tbTrimTracClick() {}
void TTolvane::TimerIncomeTimer() {}

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
