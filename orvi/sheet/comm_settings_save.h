// Saving the line's settings where the user hears when orvi.ini cannot be written.
#pragma once
#include <windows.h>

// Saves CommSettings; when orvi.ini cannot be written, says so instead of losing the settings silently.
bool SaveCommSettingsOrReport(HWND owner);
