#pragma once
// Real to integer conversions of the system: rounding sends halves to the even
// neighbour; truncation goes towards zero.

#include <cmath>
#include <cstdint>

namespace platform {

// Values beyond the 64-bit range saturate; NaN gives 0.
inline std::int64_t roundHalfEven(long double value)
{
    if (!(value == value))
        return 0;
    if (value >= 9.2233720368547758e18L)
        return INT64_MAX;
    if (value <= -9.2233720368547758e18L)
        return INT64_MIN;
    return static_cast<std::int64_t>(std::nearbyintl(value)); // default mode: nearest, ties to even
}

inline std::int64_t roundHalfEven(double value)
{
    return roundHalfEven(static_cast<long double>(value));
}

// 32-bit result, as the integer fields of the records hold.
inline std::int32_t roundToInt(double value)
{
    return static_cast<std::int32_t>(roundHalfEven(value));
}

inline std::int64_t truncToInt(long double value)
{
    return roundHalfEven(std::truncl(value));
}

} // namespace platform
