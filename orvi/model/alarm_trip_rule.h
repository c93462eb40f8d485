// Where an alarm function trips its relay as the process value moves: the point and the direction.
#pragma once

enum class TripDirection { kRising, kFalling };

struct AlarmTripPoint {
    int value;                // in the set point's units (tenths of a degree for the tenths inputs)
    TripDirection direction;  // how the process value crosses the point when the relay trips
};

struct AlarmTripRule {
    int count;  // 0: the function does not follow the process value
    AlarmTripPoint points[2];
};

// "Valor mínimo" (4) trips falling below the set point and "Valor máximo" (5) rising above it; the
// hysteresis only delays their release. The differential functions take the hysteresis as the band
// around the set point: "Diferencial mínimo" (6) trips falling below SP - H, "Diferencial máximo" (7)
// rising above SP + H, "Diferencial" (8) leaving SP ± H either way. Codes 0 to 3 trip on faults and
// events, not on a value.
AlarmTripRule AlarmTripRuleOf(int alarmFunction, int setPoint, int hysteresis);
