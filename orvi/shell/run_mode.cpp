// Selection of the run mode from the command-line tail.
#include "shell/run_mode.h"

#include <cstring>

RunMode SelectRunMode(const char* commandTail) {
    if (commandTail == nullptr) return RunMode::None;
    if (std::strcmp(commandTail, "CN") == 0) return RunMode::Sheet;
    if (std::strcmp(commandTail, "BA") == 0) return RunMode::Search;
    if (std::strcmp(commandTail, "QK") == 0) return RunMode::Service;
    return RunMode::None;
}
