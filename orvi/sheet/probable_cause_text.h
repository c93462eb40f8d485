// The probable cause of the configurator line's trouble, added to a failed read's message.
#pragma once
#include <string>

// message, then "Provável causa: ..." on a paragraph of its own where what the line has shown names
// a cause; message alone otherwise.
std::string WithProbableCause(const std::string& message);
