#pragma once
// Pixel arithmetic of the raster operations: pen modes (pen P with screen D)
// and block-transfer operations (pattern P, source S, screen D), the hatch
// cells of hatched brushes and the gamma table of bitmap drawing.

#include "platform/gdi/GdiTypes.h"

#include <array>
#include <cstdint>

namespace platform::gdi {

// One pen-mode result on 24-bit colour values (bitwise on every channel).
// A pen mode's truth table is its number minus one: bit (2·P + D).
inline std::uint32_t applyRop2(int rop2, std::uint32_t p, std::uint32_t d)
{
    const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
    std::uint32_t r = 0;
    if (table & 1) r |= ~p & ~d;
    if (table & 2) r |= ~p & d;
    if (table & 4) r |= p & ~d;
    if (table & 8) r |= p & d;
    return r & 0x00FFFFFFu;
}

// One block-transfer result: the operation's index (bits 16..23) is its truth
// table, bit (4·P + 2·S + D).
inline std::uint32_t applyRop3(std::uint32_t rop3, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    const unsigned table = (rop3 >> 16) & 0xFF;
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(table & (1u << i)))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r & 0x00FFFFFFu;
}

// Whether a block-transfer operation reads the pattern, the source or the screen.
inline bool rop3UsesPattern(std::uint32_t rop3)
{
    const unsigned t = (rop3 >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}
inline bool rop3UsesSource(std::uint32_t rop3)
{
    const unsigned t = (rop3 >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}
inline bool rop3UsesDestination(std::uint32_t rop3)
{
    const unsigned t = (rop3 >> 16) & 0xFF;
    return ((t >> 1) & 0x55) != (t & 0x55);
}

// Whether the pixel (x, y) of the device belongs to the lines of a hatch; the
// cells are 8 by 8 pixels from the device origin.
bool hatchPixel(int hatch, int x, int y);

// The gamma table of bitmap drawing: entry 0 is g × 12.75 rounded, entry i
// (1..255) is 255 × (i / 255)^(1/g) rounded (half to even); g = 0 gives the
// identity.
std::array<std::uint8_t, 256> gammaTable(double g);

} // namespace platform::gdi
