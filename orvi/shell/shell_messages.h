// The shell's own message boxes.
#pragma once
#include <windows.h>

// "Não foi possível configurar a porta serial!" after a failed OpenPort.
void ReportPortFailure(HWND owner);

// Saves CommSettings; when orvi.ini cannot be written, says so instead of losing the settings silently.
bool SaveCommSettingsOrReport(HWND owner);

// The message of a start without a known run-mode argument.
void ReportMissingRunMode(HWND owner);
