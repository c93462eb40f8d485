// Integer conversions between °C and °F.
#include "temperature_units.h"
#include "int16_range.h"

int16_t CelsiusToFahrenheit(int16_t value) { return SaturateToInt16(static_cast<int32_t>(value) * 9 / 5 + 32); }

int16_t FahrenheitToCelsius(int16_t value) { return SaturateToInt16((static_cast<int32_t>(value) * 5 - 160) / 9); }
