#include "platform/gdi/RasterOps.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace platform::gdi {

namespace {
// Rows of the 8 × 8 hatch cells, leftmost pixel in the high bit.
constexpr std::uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal, top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};
} // namespace

bool hatchPixel(int hatch, int x, int y)
{
    if (hatch < 0 || hatch > 5)
        hatch = 0;
    const std::uint8_t row = kHatches[hatch][((y % 8) + 8) % 8];
    return (row >> (7 - (((x % 8) + 8) % 8))) & 1;
}

std::array<std::uint8_t, 256> gammaTable(double g)
{
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
    if (g == 0 || !(g == g))
        return t;
    // Entry 0 is a raised black level; a large gamma would overflow the byte, so it saturates.
    t[0] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(platform::roundHalfEven(g * 12.75), 0, 255));
    for (int i = 1; i < 256; ++i) {
        const double v = 255.0 * std::pow(i / 255.0, 1.0 / g);
        t[static_cast<size_t>(i)] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(platform::roundHalfEven(v), 0, 255));
    }
    return t;
}

} // namespace platform::gdi
