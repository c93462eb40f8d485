// load and set against the transmitter: read once, apply, check, plan, dry run or write.
#pragma once
#include <vector>

#include "config_plan.h"

// load and set share everything after the requests; an exit code.
int ApplyConfiguration(const std::vector<RequestedValue>& requests, bool dryRun);
