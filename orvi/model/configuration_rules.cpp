// The page's consistency checks and the hysteresis range, each problem reported with whether the change made it.
#include "configuration_rules.h"

#include <cstdio>

#include "alarm_functions.h"
#include "input_types.h"

namespace {
ConfigProblem Problem(int rule, bool held, const char* format, int value = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, value);
    return ConfigProblem{rule, held, text};
}
}  // namespace

std::vector<ConfigProblem> CheckConfiguration(const ConfigSnapshot& current, const ConfigSnapshot& t) {
    // Which values stayed as current has them: a rule that looks only at those is held.
    const bool sensor = current.inputType == t.inputType && current.unit == t.unit;
    const bool lower = current.lowerLimit == t.lowerLimit;
    const bool upper = current.upperLimit == t.upperLimit;
    const bool alarm = current.alarmFunction == t.alarmFunction && current.alarmSetPoint == t.alarmSetPoint;

    std::vector<ConfigProblem> problems;
    const LimitPair limits = SensorLimits(t.inputType, t.unit);
    const bool celsius = t.unit == 0;
    // The sensor limit is shown as stored: tenths types print tenths.
    if (t.lowerLimit < limits.low)
        problems.push_back(Problem(kRuleLowerBelowSensor, sensor && lower,
                                   celsius ? "O Limite Inferior não pode ser menor que o limite do sensor (%d°C)!"
                                           : "O Limite Inferior não pode ser menor que o limite do sensor (%d°F)!",
                                   limits.low));
    if (t.upperLimit > limits.high)
        problems.push_back(Problem(kRuleUpperAboveSensor, sensor && upper,
                                   celsius ? "O Limite Superior não pode ser maior que o limite do sensor (%d°C)!"
                                           : "O Limite Superior não pode ser maior que o limite do sensor (%d°F)!",
                                   limits.high));
    if (t.lowerLimit > t.upperLimit)
        problems.push_back(
            Problem(kRuleLimitsCrossed, lower && upper, "O Limite Inferior não pode ser maior que o Limite Superior!"));
    if (t.alarmFunction != kNoAlarm && t.alarmSetPoint < t.lowerLimit)
        problems.push_back(Problem(kRuleSetPointBelowLower, alarm && lower,
                                   "O Set Point de Alarme não pode ser menor que o Limite Inferior!"));
    if (t.alarmFunction != kNoAlarm && t.alarmSetPoint > t.upperLimit)
        problems.push_back(Problem(kRuleSetPointAboveUpper, alarm && upper,
                                   "O Set Point de Alarme não pode ser maior que o Limite Superior!"));
    // The spin offers 0 up to the sensor range's width; a typed value beyond it would reach the relay
    // unchecked. Without an alarm function the hysteresis is never written.
    if (t.alarmFunction != kNoAlarm && IsKnownInputType(t.inputType)) {
        const int width = limits.high - limits.low;
        if (t.alarmHysteresis < 0 || t.alarmHysteresis > width)
            problems.push_back(Problem(kRuleHysteresisRange, current.alarmHysteresis == t.alarmHysteresis,
                                       "A Histerese de Alarme deve estar entre 0 e %d!", width));
    }
    return problems;
}

const ConfigProblem* FirstChangedProblem(const std::vector<ConfigProblem>& problems) {
    for (const ConfigProblem& problem : problems)
        if (!problem.held) return &problem;
    return nullptr;
}
