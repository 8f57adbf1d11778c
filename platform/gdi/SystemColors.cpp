#include "platform/gdi/SystemColors.h"

namespace platform::gdi {

Color systemColor(int index)
{
    static const Color table[25] = {
        rgb(192, 192, 192), rgb(0, 128, 128),   rgb(0, 0, 128),     rgb(128, 128, 128), rgb(192, 192, 192),
        rgb(255, 255, 255), rgb(0, 0, 0),       rgb(0, 0, 0),       rgb(0, 0, 0),       rgb(255, 255, 255),
        rgb(192, 192, 192), rgb(192, 192, 192), rgb(128, 128, 128), rgb(0, 0, 128),     rgb(255, 255, 255),
        rgb(192, 192, 192), rgb(128, 128, 128), rgb(128, 128, 128), rgb(0, 0, 0),       rgb(192, 192, 192),
        rgb(255, 255, 255), rgb(0, 0, 0),       rgb(223, 223, 223), rgb(0, 0, 0),       rgb(255, 255, 225),
    };
    return index >= 0 && index < 25 ? table[index] : rgb(0, 0, 0);
}

Color resolveColor(std::uint32_t stored)
{
    if ((stored & 0xFF000000u) == 0xFF000000u)
        return systemColor(static_cast<int>(stored & 0xFFu));
    return stored & 0x00FFFFFFu;
}

} // namespace platform::gdi
