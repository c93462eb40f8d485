// What choosing a temperature unit does to the Input/Output page's values.
#pragma once
#include <cstdint>

enum UnitSwitch {
    kUnitUnchanged,  // the unit chosen is the current one: nothing happens
    kUnitConvert,    // from the other unit: limits, set point and hysteresis are converted
    kUnitAdopt,      // the device reported no known unit: take the choice, nothing to convert from
};

UnitSwitch DecideUnitSwitch(int32_t currentUnit, int32_t chosenUnit);

// What a field holds: a temperature (limits, set point) or a temperature difference (hysteresis).
enum class UnitQuantity { Temperature, Difference };

// A value of the other unit converted into chosenUnit (0 = °C, 1 = °F) for the given input type:
// the 32-degree offset only for temperatures, in tenths for the tenths types; linear inputs carry
// plain scale numbers, which no unit changes.
int16_t ConvertToUnit(int16_t value, int32_t chosenUnit, int inputType, UnitQuantity quantity);
