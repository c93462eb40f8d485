// The up-down ranges of the Input/Output page.
#include "io_spin_ranges.h"
#include "input_types.h"
#include "int16_range.h"

IoSpinRanges IoSpinRangesFor(int inputType, int32_t unit) {
    const LimitPair limits = SensorLimits(inputType, unit);
    IoSpinRanges ranges;
    ranges.low = limits.low;
    ranges.high = limits.high;
    // An unknown type spans the whole 16-bit range, whose width does not fit an up-down bound.
    ranges.hysteresisHigh = SaturateToInt16(static_cast<int32_t>(limits.high) - limits.low);
    return ranges;
}
