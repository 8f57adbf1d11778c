#pragma once
// The standard cursors by the class library's numbers (0 default, -2 arrow,
// -3 cross, -11 hour glass, -21 hand ...; platform/NameTables.h names them)
// as the shapes of the platform's cursors.

#include <Qt>

namespace platform::gdi {

// The shape of a standard cursor number; the arrow for any other number.
Qt::CursorShape standardCursorShape(int number);

} // namespace platform::gdi
