// The configuration file of save and load: a commented INI file a person can read and edit.
#pragma once
#include <string>
#include <vector>

#include "config_plan.h"
#include "config_snapshot.h"

// The file's text (CP1252) for a configuration read from the transmitter described by source.
std::string FormatConfigIni(const ConfigSnapshot& snapshot, const std::string& source);

// The requests in a file's text (UTF-8, as save writes it). Blank lines and lines starting with
// '#' or ';' are skipped; one section [Orvi]; then "key = value" lines. False with every problem,
// each naming its line, in problems.
bool ParseConfigIni(const std::string& text, std::vector<RequestedValue>* requests, std::vector<std::string>* problems);

// "key=value" arguments of set; same rules and messages.
bool ParseAssignments(const std::vector<std::string>& arguments, std::vector<RequestedValue>* requests,
                      std::vector<std::string>* problems);
