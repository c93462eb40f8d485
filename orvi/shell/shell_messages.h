// The shell's own message boxes.
#pragma once
#include <windows.h>

// "Não foi possível configurar a porta serial!" after a failed OpenPort.
void ReportPortFailure(HWND owner);

// The message of a start without a known run-mode argument.
void ReportMissingRunMode(HWND owner);
