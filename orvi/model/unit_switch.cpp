// The unit-switch decision and conversion of the Input/Output page.
#include "unit_switch.h"
#include "input_types.h"
#include "int16_range.h"
#include "temperature_units.h"

UnitSwitch DecideUnitSwitch(int32_t currentUnit, int32_t chosenUnit) {
    if (currentUnit == chosenUnit) return kUnitUnchanged;
    if (currentUnit == kUnitCelsius || currentUnit == kUnitFahrenheit) return kUnitConvert;
    return kUnitAdopt;
}

int16_t ConvertToUnit(int16_t value, int32_t chosenUnit, int inputType, UnitQuantity quantity) {
    if (IsLinearInput(inputType)) return value;
    if (quantity == UnitQuantity::Temperature && !IsTenthsInput(inputType)) {
        return chosenUnit == kUnitCelsius ? FahrenheitToCelsius(value) : CelsiusToFahrenheit(value);
    }
    // The same rounding as the whole-degree conversions; a difference has no offset; 32 degrees are 320 tenths.
    const int32_t offset = quantity == UnitQuantity::Difference ? 0 : 320;
    const int32_t v = value;
    return SaturateToInt16(chosenUnit == kUnitCelsius ? DivideRounded((v - offset) * 5, 9)
                                                      : DivideRounded(v * 9, 5) + offset);
}
