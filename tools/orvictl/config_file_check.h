// A configuration file judged on its own, with no transmitter: its form, then the rules on its values,
// each problem on its line.
#pragma once
#include <string>
#include <vector>

#include "config_ini.h"
#include "requested_values.h"

// Every problem of a configuration file's bytes: a text neither UTF-8 nor 1252 reads, a malformed
// line, an unknown or repeated key, a value the page does not offer, and every configuration rule the
// values it gives break (on the line of the value the rule is about). Empty when the file is sound.
std::vector<FileProblem> CheckConfigFileBytes(const std::string& bytes);

// The problems of a whole configuration written to a file (new, set --file): the change checks
// against current (values the page does not offer, a unit for a linear input), then every rule on
// target, since the file holds every value. An exit code (2 or 5) with every message, or 0.
int CheckWholeConfiguration(const ConfigSnapshot& current, const ConfigSnapshot& target,
                            const std::vector<RequestedValue>& requests, std::vector<std::string>* messages);

// "cfg.ini:12: text", or "cfg.ini: text" for the file as a whole.
std::string FileProblemText(const std::string& path, const FileProblem& problem);
