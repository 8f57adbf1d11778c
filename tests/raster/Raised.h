#pragma once
// What a call to the imaging control raised: its text and code ("" and 1
// when nothing).

#include "raster/LeadImage.h"

#include <utility>

template <class F>
std::pair<QString, int> raised(F &&f)
{
    try {
        f();
    } catch (const raster::ELEADImageError &e) {
        return {e.message(), e.code};
    }
    return {QString(), 1};
}
