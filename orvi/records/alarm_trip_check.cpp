// Finding the relay's trips in a monitor record and checking each against the alarm function's rule.
#include "alarm_trip_check.h"

#include <algorithm>
#include <cmath>

#include "alarm_trip_rule.h"
#include "input_types.h"

namespace {
// The rule's point for a trip seen: the one of its direction; when the value did not move between the
// two readings, the nearest.
const ExpectedTrip* PointFor(const std::vector<ExpectedTrip>& expected, const SeenTrip& trip, bool moved) {
    const ExpectedTrip* found = nullptr;
    for (const ExpectedTrip& point : expected) {
        if (moved && point.rising != trip.rising) continue;
        if (!found || std::fabs(point.value - trip.at) < std::fabs(found->value - trip.at)) found = &point;
    }
    return found;
}
}  // namespace

AlarmTripCheck CheckAlarmTrips(const ConfigSnapshot& config, const TrendChart* record, double tolerancePercent) {
    const double scale = IsTenthsInput(config.inputType) ? 10.0 : 1.0;
    AlarmTripCheck check;
    check.function = config.alarmFunction;
    check.setPoint = config.alarmSetPoint / scale;
    check.hysteresis = config.alarmHysteresis / scale;
    const AlarmTripRule rule = AlarmTripRuleOf(config.alarmFunction, config.alarmSetPoint, config.alarmHysteresis);
    for (int i = 0; i < rule.count; ++i)
        check.expected.push_back({rule.points[i].value / scale, rule.points[i].direction == TripDirection::kRising});
    if (!record) return check;
    const std::vector<TrendSample>& samples = record->samples;
    check.recorded = std::any_of(samples.begin(), samples.end(), [](const TrendSample& s) { return s.alarm >= 0; });
    if (check.expected.empty()) return check;

    const double tolerance = std::fabs(config.upperLimit - config.lowerLimit) / scale * tolerancePercent / 100.0;
    const TrendSample* off = nullptr;  // the last sample read with the relay off
    for (const TrendSample& sample : samples) {
        if (sample.alarm < 0) continue;
        if (sample.alarm == 0) {
            off = &sample;
            continue;
        }
        if (!off) continue;  // on from the start, or still on after a trip already counted
        SeenTrip trip{};
        trip.seconds = sample.seconds;
        trip.before = off->value;
        trip.at = sample.value;
        trip.rising = trip.at > trip.before;
        const ExpectedTrip* point = PointFor(check.expected, trip, trip.at != trip.before);
        trip.expectedKnown = point != nullptr;
        if (point) {
            trip.expected = point->value;
            trip.pass = point->value >= std::min(trip.before, trip.at) - tolerance - 1e-9 &&
                        point->value <= std::max(trip.before, trip.at) + tolerance + 1e-9;
        }
        check.trips.push_back(trip);
        off = nullptr;
    }
    return check;
}

bool AlarmTripsPassed(const AlarmTripCheck& check) {
    if (check.trips.empty()) return false;
    for (const SeenTrip& trip : check.trips)
        if (!trip.pass) return false;
    return true;
}
