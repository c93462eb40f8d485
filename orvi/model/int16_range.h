// Keeping a wider intermediate inside the signed 16-bit range of a register word.
#pragma once
#include <cstdint>

// Out-of-range values stick at the nearest bound instead of wrapping into an unrelated number.
inline int16_t SaturateToInt16(int32_t value) {
    if (value > INT16_MAX) return INT16_MAX;
    if (value < INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(value);
}
