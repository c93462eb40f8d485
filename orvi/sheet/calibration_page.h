// The Calibration page of the configuration sheet: on-line trim of the current output's ZERO and SPAN.
#pragma once
#include <windows.h>
#include "live_calibration.h"

// What the page shows and what it last read or wrote are the sheet visit's (sheet_visit.h).

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* CalibrationPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern CalibrationPageMessageBoxFunction calibrationPageMessageBox;

// The explanatory message, the four reads and the pair of the output type in the edits.
void ActivateCalibrationPage(HWND page);

// One tick: the spins' values into the pair, then ZERO and SPAN written when they changed.
void CalibrationTick(HWND page);
