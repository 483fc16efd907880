// 16.16 fixed-point values of the span drawers, held in 64 bits so that no value or step overflows.
#pragma once
#include <cmath>
#include <cstdint>

// value x 65536; the integer part is value >> 16 (arithmetic shift, so negatives floor).
using fixed_16_16 = int64_t;

inline constexpr fixed_16_16 fixed_one = 65536;
// |values| are held below 2^46: texture cords of 1e9 fit, and 2^17 steps of the largest step too.
inline constexpr double fixed_limit = 70368744177664.0;

inline fixed_16_16 to_fixed(double value) {
    const double scaled = value * 65536.0;
    if (!(scaled > -fixed_limit)) return static_cast<fixed_16_16>(-fixed_limit);  // NaN lands here too
    if (scaled > fixed_limit) return static_cast<fixed_16_16>(fixed_limit);
    return static_cast<fixed_16_16>(scaled);
}

// A shade level in 16.16, kept inside the 32 levels (0 up to just below 32).
inline fixed_16_16 to_fixed_shade(double level) {
    if (!(level > 0)) return 0;
    if (level >= 32) return 32 * fixed_one - 1;
    return static_cast<fixed_16_16>(level * 65536.0);
}
