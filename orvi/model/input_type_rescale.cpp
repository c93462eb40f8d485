// Rescaling a scale value between the sensor ranges of two input types.
#include "input_type_rescale.h"
#include "input_types.h"
#include "int16_range.h"

int16_t RescaleToInputType(int16_t value, int oldType, int newType, int32_t unit) {
    if (!IsKnownInputType(oldType) || !IsKnownInputType(newType)) return value;
    const LimitPair from = SensorLimits(oldType, unit);
    const LimitPair to = SensorLimits(newType, unit);
    const int32_t fromSpan = static_cast<int32_t>(from.high) - from.low;
    const int32_t toSpan = static_cast<int32_t>(to.high) - to.low;
    const int32_t offset = static_cast<int32_t>(value) - from.low;
    // |toSpan * offset| stays below 2^31: both factors are under 2^16 and toSpan under 12000.
    return SaturateToInt16(to.low + toSpan * offset / fromSpan);
}
