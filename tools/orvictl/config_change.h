// load, set and diff against the transmitter: read once, apply, check, plan, then compare or write.
#pragma once
#include <vector>

#include "calibration_restore.h"
#include "config_plan.h"

enum class ChangeMode { Write, DryRun, Compare };

// load, set and diff share everything after the requests. trims: a calibration backup to restore
// (load --with-calibration), nullptr otherwise. Compare prints the dry run's table and gives
// kExitDiffers when something would change. An exit code.
int ApplyConfiguration(const std::vector<RequestedValue>& requests, ChangeMode mode, const FileExtras* trims = nullptr);

// "N parâmetro(s) escritos" after a successful ApplyConfiguration, for the one-line summaries.
int LastWriteCount();
