// Integer conversions between °C and °F.
#include "temperature_units.h"
#include "int16_range.h"

int32_t DivideRounded(int32_t numerator, int32_t denominator) {
    const int32_t half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

int16_t CelsiusToFahrenheit(int16_t value) {
    return SaturateToInt16(DivideRounded(static_cast<int32_t>(value) * 9, 5) + 32);
}

int16_t FahrenheitToCelsius(int16_t value) {
    return SaturateToInt16(DivideRounded((static_cast<int32_t>(value) - 32) * 5, 9));
}
