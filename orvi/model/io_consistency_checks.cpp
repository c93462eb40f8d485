// Consistency checks of limits and alarm set point against the sensor and against each other.
#include "io_consistency_checks.h"
#include <cstdio>
#include "alarm_functions.h"
#include "input_types.h"

int FindConsistencyFault(const ConfigSnapshot& s, char* message, size_t size) {
    const LimitPair sensor = SensorLimits(s.inputType, s.unit);
    const bool celsius = s.unit == 0;
    // The sensor limit is shown as stored: tenths types print tenths.
    if (s.lowerLimit < sensor.low) {
        std::snprintf(message, size,
                      celsius ? "O Limite Inferior não pode ser menor que o limite do sensor (%d°C)!"
                              : "O Limite Inferior não pode ser menor que o limite do sensor (%d°F)!",
                      sensor.low);
        return 1;
    }
    if (s.upperLimit > sensor.high) {
        std::snprintf(message, size,
                      celsius ? "O Limite Superior não pode ser maior que o limite do sensor (%d°C)!"
                              : "O Limite Superior não pode ser maior que o limite do sensor (%d°F)!",
                      sensor.high);
        return 2;
    }
    if (s.lowerLimit > s.upperLimit) {
        std::snprintf(message, size, "%s", "O Limite Inferior não pode ser maior que o Limite Superior!");
        return 3;
    }
    if (s.alarmFunction != kNoAlarm && s.alarmSetPoint < s.lowerLimit) {
        std::snprintf(message, size, "%s", "O Set Point de Alarme não pode ser menor que o Limite Inferior!");
        return 4;
    }
    if (s.alarmFunction != kNoAlarm && s.alarmSetPoint > s.upperLimit) {
        std::snprintf(message, size, "%s", "O Set Point de Alarme não pode ser maior que o Limite Superior!");
        return 5;
    }
    return 0;
}
