// The trip points of the alarm functions that follow the process value.
#include "alarm_trip_rule.h"

AlarmTripRule AlarmTripRuleOf(int alarmFunction, int setPoint, int hysteresis) {
    const AlarmTripPoint above = {setPoint + hysteresis, TripDirection::kRising};
    const AlarmTripPoint below = {setPoint - hysteresis, TripDirection::kFalling};
    switch (alarmFunction) {
    case 4: return {1, {{setPoint, TripDirection::kFalling}, {}}};
    case 5: return {1, {{setPoint, TripDirection::kRising}, {}}};
    case 6: return {1, {below, {}}};
    case 7: return {1, {above, {}}};
    case 8: return {2, {above, below}};
    default: return {0, {}};
    }
}
