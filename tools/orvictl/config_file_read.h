// A configuration file read for commissioning: parsed, and checked on its own before any unit is touched.
#pragma once
#include <string>
#include <vector>

#include "requested_values.h"

// The whole file at path; false after a message naming why it could not be read.
bool ReadFileBytes(const std::string& path, std::string* bytes);
// The same, with the reason in problem instead of said.
bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* problem);

// The requests of the file at path, each problem said with the file's name; then the page's checks on
// the values the file gives (a limit beyond its sensor, crossed limits, a set point outside them), so
// that a file no transmitter could take stops commissioning before the first unit. An exit code: 7
// when it cannot be read, 2 for its form, 5 for a check, with the message said.
int ReadCommissioningFile(const std::string& path, std::vector<RequestedValue>* requests);
