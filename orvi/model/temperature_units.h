// Integer conversions between °C and °F, used for limits, set point and hysteresis alike.
#pragma once
#include <cstdint>

enum { kUnitCelsius = 0, kUnitFahrenheit = 1 };

// v × 9 / 5 + 32, the division truncating toward zero before the 32 is added.
int16_t CelsiusToFahrenheit(int16_t value);
// (v × 5 − 160) / 9, truncating toward zero.
int16_t FahrenheitToCelsius(int16_t value);
