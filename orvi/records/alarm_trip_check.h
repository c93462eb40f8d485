// The alarm trip of a commissioning: where the relay tripped while the input was moved (a monitor
// record of the process value and the alarm output) against where the alarm function's rule puts it.
#pragma once
#include <vector>

#include "config_snapshot.h"
#include "trend_chart.h"

// A point where the relay should trip, in process units.
struct ExpectedTrip {
    double value;
    bool rising;  // the process value rises through it (else falls)
};

// One change of the relay from off to on in the record.
struct SeenTrip {
    double seconds;      // since the record's first sample
    double before;       // the last value read with the relay off
    double at;           // the first value read with it on
    bool rising;         // at > before
    bool expectedKnown;  // the rule trips in this direction
    double expected;     // the rule's point for it
    bool pass;           // the expected point lies between before and at, within the tolerance
};

struct AlarmTripCheck {
    int function = 0;
    double setPoint = 0, hysteresis = 0;  // in process units
    std::vector<ExpectedTrip> expected;   // empty: the function does not follow the process value
    bool recorded = false;                // a record with the alarm output was given
    std::vector<SeenTrip> trips;
};

// The rule's points for the configuration, and, from a record (may be null), every trip in it checked
// against them; the tolerance is a percentage of the configured range, as the loop check's is of the span.
AlarmTripCheck CheckAlarmTrips(const ConfigSnapshot& config, const TrendChart* record, double tolerancePercent);
// True when the record holds at least one trip and every trip passed.
bool AlarmTripsPassed(const AlarmTripCheck& check);
