// The factory configuration of an input type.
#include "factory_configuration.h"

#include "alarm_functions.h"
#include "input_types.h"
#include "output_types.h"
#include "temperature_units.h"

ConfigSnapshot FactoryConfiguration(int inputType) {
    const LimitPair limits = SensorLimits(inputType, kUnitCelsius);
    ConfigSnapshot s = {};
    s.inputType = static_cast<int8_t>(inputType);
    s.unit = kUnitCelsius;
    s.lowerLimit = limits.low;
    s.upperLimit = limits.high;
    s.outputType = kOutput4To20mA;
    s.alarmFunction = kNoAlarm;
    // Dormant until an alarm function is chosen, and then inside the scale whatever the range.
    s.alarmSetPoint = limits.high;
    s.alarmHysteresis = 0;
    s.alarmInitialBlock = 0;
    s.indicationOffset = 0;
    s.firmwareVersion = kFactoryFirmwareVersion;
    return s;
}
