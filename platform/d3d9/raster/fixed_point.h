// Integer and fixed-point helpers for the screen-space stages.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform::d3d9::raster {

constexpr int64_t FloorDiv(int64_t numerator, int64_t denominator) {  // denominator > 0
    const int64_t q = numerator / denominator;
    return (numerator % denominator != 0 && numerator < 0) ? q - 1 : q;
}

constexpr int64_t CeilDiv(int64_t numerator, int64_t denominator) {  // denominator > 0
    const int64_t q = numerator / denominator;
    return (numerator % denominator != 0 && numerator > 0) ? q + 1 : q;
}

constexpr double kFixedOne = 4294967296.0;  // 1.0 in the 32.32 attribute planes
// Keeps origin + dx*x + dy*y inside 64 bits for any pixel of a target up to 2^15 pixels
// wide: 2^61 + 2 * 2^46 * 2^15 < 2^63.
constexpr double kFixedValueLimit = 2305843009213693952.0;  // 2^61
constexpr double kFixedSlopeLimit = 70368744177664.0;       // 2^46

// Rounds half away from zero, inline (the library's llround is a call); `value` must
// fit in 63 bits.
inline int64_t RoundToInt64(double value) {
    return static_cast<int64_t>(value < 0.0 ? value - 0.5 : value + 0.5);
}

// A real number to 32.32 fixed point, saturated at +-limit; NaN becomes 0.
inline int64_t ToFixed(double value, double limit = kFixedValueLimit) {
    const double scaled = value * kFixedOne;
    if (!(scaled == scaled)) return 0;
    return RoundToInt64(std::clamp(scaled, -limit, limit));
}

}  // namespace platform::d3d9::raster
