// The configurator's start-up: single instance, main window, then the run mode.
#pragma once
#include <windows.h>

// Returns the process's exit code.
int RunConfigurator(HINSTANCE instance, const char* commandTail, int showCommand);
