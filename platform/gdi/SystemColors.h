#pragma once
// The system colours a stored colour may name (0xFF000000 plus the index of
// the colour, as the class library's clBtnFace is 0xFF00000F), with the
// classic fixed values, so that a drawing does not depend on the desktop.

#include "platform/gdi/GdiTypes.h"

namespace platform::gdi {

enum SystemColorIndex : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
};

// The colour of a system colour index (0 to 24); black for another index.
Color systemColor(int index);
// A stored colour as an RGB value: a system colour resolved, any other
// value's top byte dropped.
Color resolveColor(std::uint32_t stored);

} // namespace platform::gdi
