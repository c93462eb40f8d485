// Values asked for by name (from a configuration file or set's arguments), and the configuration they make.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "parameter_keys.h"

struct RequestedValue {
    const ParameterKey* key;
    int32_t value;
    std::string origin;   // "linha 12" or "argumento 2", for messages
    std::string refusal;  // not empty: a value the page does not offer, refused only where it changes the register
};

// The current configuration with the requests applied. A field not requested follows the page's
// rules: a new input type rescales the limits and set point, a new unit converts limits, set
// point and hysteresis, as the Input/Output page does when the user changes them.
ConfigSnapshot ApplyRequests(const ConfigSnapshot& current, const std::vector<RequestedValue>& requests);
