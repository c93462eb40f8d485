// Integer conversions between °C and °F, used for limits, set point and hysteresis alike.
#pragma once
#include <cstdint>

enum { kUnitCelsius = 0, kUnitFahrenheit = 1 };

// numerator / denominator (denominator > 0) rounded to the nearest whole number, halves away from
// zero. Rounding both ways (not truncating) is what lets °C → °F → °C give back every value.
int32_t DivideRounded(int32_t numerator, int32_t denominator);

// v × 9 / 5 + 32, rounded to the nearest degree.
int16_t CelsiusToFahrenheit(int16_t value);
// (v − 32) × 5 / 9, rounded to the nearest degree.
int16_t FahrenheitToCelsius(int16_t value);
