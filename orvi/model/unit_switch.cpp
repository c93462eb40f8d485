// The unit-switch decision and conversion of the Input/Output page.
#include "unit_switch.h"
#include "temperature_units.h"

UnitSwitch DecideUnitSwitch(int32_t currentUnit, int32_t chosenUnit)
{
    if (currentUnit == chosenUnit) return kUnitUnchanged;
    if (currentUnit == kUnitCelsius || currentUnit == kUnitFahrenheit) return kUnitConvert;
    return kUnitAdopt;
}

int16_t ConvertToUnit(int16_t value, int32_t chosenUnit)
{
    return chosenUnit == kUnitCelsius ? FahrenheitToCelsius(value) : CelsiusToFahrenheit(value);
}
