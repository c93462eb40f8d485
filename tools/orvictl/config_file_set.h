// set --file: requested values written into a configuration file instead of a transmitter.
#pragma once
#include <string>
#include <vector>

#include "requested_values.h"

// The file at path with requests applied by the page's rules, checked whole, and written again in
// place (temporary file, flush, rename) with its tag, origin, firmware, trims and the lines people
// added. The file must give every key, as save and new write them. dryRun says what would change and
// writes nothing. An exit code.
int SetInFile(const std::string& path, const std::vector<RequestedValue>& requests, bool dryRun);
