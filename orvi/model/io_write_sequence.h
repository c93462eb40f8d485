// The order in which the Input/Output page writes its parameters, and the run of that sequence.
#pragma once
#include <cstdint>
#include "config_snapshot.h"
#include "link_error.h"

enum { kMaxIoWriteSteps = 9 };

struct IoWriteStep {
    int8_t reg;
    int16_t value;
    const char* failureFormat;  // one %s for the link error text
};

// Unit, input type, upper limit, lower limit, output type, alarm function; then set point, initial
// blocking and hysteresis when an alarm function is set. Returns the number of steps.
int BuildIoWriteSequence(const ConfigSnapshot& snapshot, IoWriteStep* steps);

enum WriteFailureAnswer { kWriteAbort, kWriteRetry, kWriteIgnore };

typedef LinkError (*IoRegisterWriter)(int8_t reg, int16_t value);
// Shown the failure message; answers what to do with the step.
typedef WriteFailureAnswer (*IoWriteFailurePrompt)(const char* message, void* context);

// Writes every step in order. A failed step asks the prompt: Abort ends the run, Retry writes the
// same step again (without limit), Ignore goes on. Returns false when the run was aborted.
bool RunIoWriteSequence(const ConfigSnapshot& snapshot, IoRegisterWriter write, IoWriteFailurePrompt ask,
                        void* context);
