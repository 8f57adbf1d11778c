#pragma once
// Shared helper routines of the unit VykFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace VykFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace VykFunctions
