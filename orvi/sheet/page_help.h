// The Help button of the sheet's pages: the section of the user guide, or ORVI.HLP without one.
#pragma once
#include <windows.h>

// Opens the guide beside the program at section `context` (its anchor) with the system's browser;
// where the guide is missing and an ORVI.HLP lies beside the program, opens that file's context.
void OpenPageHelp(HWND page, int context);
