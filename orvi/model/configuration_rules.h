// The rules a configuration passes before it is written, to a transmitter or to a file: the
// Input/Output page's consistency checks, in its order and with its messages, and the hysteresis
// range its spin offers. The page (on line and on a file), orvictl check, new, set and load all ask here.
#pragma once
#include <string>
#include <vector>

#include "config_snapshot.h"

enum ConfigRule {
    kRuleLowerBelowSensor = 1,
    kRuleUpperAboveSensor = 2,
    kRuleLimitsCrossed = 3,
    kRuleSetPointBelowLower = 4,
    kRuleSetPointAboveUpper = 5,
    kRuleHysteresisRange = 6,  // with an alarm function and a known sensor: 0 up to the sensor range's width
};

struct ConfigProblem {
    int rule;             // a ConfigRule
    bool held;            // every value the rule looks at is as current has it: not the change's doing
    std::string message;  // the page's text (code page 1252), shown under the caption "Inconsistência"
};

// Every rule target breaks, in the page's order; empty when target is sound. Equality always passes.
// current is what the transmitter or file holds before the change (pass target itself when there is
// none): a writer that writes every value (the page, a file) refuses any problem; one that writes only
// what changes (load, set onto a transmitter) refuses only those that are not held.
std::vector<ConfigProblem> CheckConfiguration(const ConfigSnapshot& current, const ConfigSnapshot& target);

// The first problem that is not held, or null.
const ConfigProblem* FirstChangedProblem(const std::vector<ConfigProblem>& problems);
