#pragma once
// The cursors the program shows, by number as the class library numbers
// them: the standard ones below 1 (platform/gdi/Cursors.h) and those the map
// window loads from the "cur" folder under numbers of its own.

#include <QCursor>

namespace mapengine {

// The cursor of a number; an unknown number gives the arrow.
QCursor screenCursor(int number);
// Puts a loaded cursor under a number.
void setScreenCursor(int number, const QCursor &cursor);

} // namespace mapengine
