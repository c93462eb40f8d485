// What a configuration file opened on the configurator's sheet does not take to the transmitter.
#pragma once
#include <string>
#include <vector>

#include "file_extras.h"
#include "parameter_keys.h"

// The user's message, empty when the file's values all go onto the pages: the output trims
// the file carries (one transmitter's own, trimmed on line on the Calibration page), and the alarm
// values that no write carries while the alarm function is 0 (dormant: RequestsNotWritten).
std::string FileNotTakenText(const FileExtras& extras, const std::vector<const ParameterKey*>& dormant);
