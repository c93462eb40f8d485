// Carrying a scale value from one input type's sensor range to another's when the input type changes.
#pragma once
#include <cstdint>

// lo1 + (hi1 - lo1) * (v - lo0) / (hi0 - lo0) with the sensor limits of both types in unit, in 32-bit
// arithmetic truncating toward zero. A type outside the catalogue has no range to map from or to,
// so the value stays as it is.
int16_t RescaleToInputType(int16_t value, int oldType, int newType, int32_t unit);
