#include "mapdata/MapFunctions.h"

namespace MapFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace MapFunctions
