// load, set and diff against the transmitter: read once, apply, check, plan, then compare or write.
#pragma once
#include <vector>

#include "calibration_restore.h"
#include "config_plan.h"
#include "line_session.h"

enum class ChangeMode { Write, DryRun, Compare };

// load, set and diff share everything after the requests. trims: a calibration backup to restore
// (load --with-calibration), nullptr otherwise. Compare prints the dry run's table and gives
// kExitDiffers when something would change. An exit code.
// written (when given): how many parameters were written, for the one-line summaries ("N parâmetro(s)
// escritos"). madeFor (load): the file's extras, whose firmware is checked against the transmitter's
// (and the known map differences between the two) before anything is written. The line of session is open.
int ApplyConfiguration(LineSession& session, const std::vector<RequestedValue>& requests, ChangeMode mode,
                       const FileExtras* trims = nullptr, int* written = nullptr, const FileExtras* madeFor = nullptr);
