// The ranges of the Input/Output page's up-down controls for an input type and unit.
#pragma once
#include <cstdint>

struct IoSpinRanges {
    int16_t low;  // limits and set point: the sensor limits
    int16_t high;
    int16_t hysteresisHigh;  // hysteresis: 0 up to the width of the sensor range
};

IoSpinRanges IoSpinRangesFor(int inputType, int32_t unit);
