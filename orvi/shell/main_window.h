// The configurator's main window: class "ORVI", hidden except in the service mode.
#pragma once
#include <windows.h>

extern const char kMainWindowClass[];
extern const char kMainWindowTitle[];

// Registers the class; false when the platform refuses it.
bool RegisterMainWindowClass();

// Creates the hidden main window; its creation loads the settings and opens the port.
HWND CreateMainWindow();
