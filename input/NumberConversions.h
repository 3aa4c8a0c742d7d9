#pragma once
// Conversions of script numbers into the integer and float fields of input
// records. A plain cast is undefined for NaN and out-of-range values, and a
// script can pass any number, so these saturate instead (NaN gives 0).

#include <cmath>
#include <cstdint>
#include <limits>

// The value truncated toward zero, clamped to the 32-bit signed range.
inline int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// A 64-bit intermediate clamped to the 32-bit signed range.
inline int32_t clampToInt32(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// The nearest 32-bit float, clamped to the finite float range (NaN stays NaN).
inline float nearestFloat(double value) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (value > largest) return std::numeric_limits<float>::max();
    if (value < -largest) return -std::numeric_limits<float>::max();
    return static_cast<float>(value);
}
