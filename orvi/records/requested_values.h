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
                          // (the reason, without the origin)
    int line = 0;         // the file's line; 0 for an argument
};

// The current configuration with the requests applied. A field not requested follows the page's
// rules: a new input type rescales the limits and set point, a new unit converts limits, set
// point and hysteresis, as the Input/Output page does when the user changes them. A new input type
// that counts temperatures in the other step (tenths of a degree or whole degrees) also carries the
// hysteresis, a temperature difference, into that step, so that it keeps its size in degrees.
ConfigSnapshot ApplyRequests(const ConfigSnapshot& current, const std::vector<RequestedValue>& requests);

// Whether ApplyRequests carried the hysteresis into or out of tenths of a degree, so that the user is
// told: the register's number changes though the hysteresis does not.
bool HysteresisCarriedToTenths(const ConfigSnapshot& current, const ConfigSnapshot& target,
                               const std::vector<RequestedValue>& requests);

enum class ChangeCheck { Accepted, Refused, Inconsistent };

// The page's checks on what changes from current to target; a value that stays as the transmitter
// has it is never refused. Refused: a value the page does not offer; Inconsistent: a consistency
// check fails. The message says why.
ChangeCheck CheckRequestedChanges(const ConfigSnapshot& current, const ConfigSnapshot& target,
                                  const std::vector<RequestedValue>& requests, std::string* message);

// The same checks on the values requests give, before any transmitter is read: a file checked once
// before commissioning touches the first unit. A value the file leaves to the transmitter stands for
// one that passes (the sensor's own limit, no alarm); it is checked when the transmitter is read.
ChangeCheck CheckRequestsAlone(const std::vector<RequestedValue>& requests, std::string* message);

// The configuration requests give on their own, as the checks of a file without a transmitter take
// it: a value the file leaves to the transmitter stands for one that passes (the sensor's own limit,
// the set point at the lower limit, hysteresis 0, no alarm); without both entrada and unidade the
// sensor is unknown (code -1), so only the order of the limits is judged.
ConfigSnapshot GivenConfiguration(const std::vector<RequestedValue>& requests);

// Requested changes that no write carries because no alarm function is set: the page never writes
// the alarm's set point, hysteresis and blocking then.
std::vector<const ParameterKey*> RequestsNotWritten(const std::vector<RequestedValue>& requests,
                                                    const ConfigSnapshot& current, const ConfigSnapshot& target);
