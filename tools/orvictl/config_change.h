// From requested values to written registers: the page's rules, its checks, its write order, each write read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "parameter_keys.h"

struct RequestedValue {
    const ParameterKey* key;
    int32_t value;
    std::string origin;  // "linha 12" or "argumento 2", for messages
};

// The current configuration with the requests applied. A field not requested follows the page's
// rules: a new input type rescales the limits and set point, a new unit converts limits, set
// point and hysteresis, as the Input/Output page does when the user changes them.
ConfigSnapshot ApplyRequests(const ConfigSnapshot& current, const std::vector<RequestedValue>& requests);

// The page's consistency checks plus the hysteresis range; 0 or an exit code with the message in message.
int CheckConfiguration(const ConfigSnapshot& target, std::string* message);

struct PlannedWrite {
    const ParameterKey* key;
    int16_t oldWord;
    int16_t value;
    const char* failureFormat;  // one %s for the link error text
};

// The page's write sequence for target, keeping only the registers whose word differs from the
// block just read; the indication offset, which the Diagnostic page writes, comes last.
std::vector<PlannedWrite> PlanWrites(const ConfigSnapshot& target, const uint16_t* words);

// Requested keys the plan leaves out because no alarm function is set (the page never writes them then).
std::vector<const ParameterKey*> RequestsNotWritten(const std::vector<RequestedValue>& requests,
                                                    const ConfigSnapshot& target);

// Writes the plan in order; stops at the first failure with a message naming what was written. An exit code.
int RunWrites(const std::vector<PlannedWrite>& plan);

// The table of changes a dry run prints.
std::string ChangeTable(const std::vector<PlannedWrite>& plan, const ConfigSnapshot& current,
                        const ConfigSnapshot& target);

// load and set share everything after the requests: read, apply, check, plan, dry run or write.
int ApplyConfiguration(const std::vector<RequestedValue>& requests, bool dryRun);
