// The Calibration page of the configuration sheet: on-line trim of the current output's ZERO and SPAN.
#pragma once
#include <windows.h>
#include "live_calibration.h"

// Page state for the whole run of the program; not reset when the sheet closes.
extern CalibrationValues calibration;       // what the page shows and takes from the spins
extern CalibrationValues calibrationKnown;  // last read from or written to the transmitter

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* CalibrationPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern CalibrationPageMessageBoxFunction calibrationPageMessageBox;

// The explanatory message, the four reads and the pair of the output type in the edits.
void ActivateCalibrationPage(HWND page);

// One tick: the spins' values into the pair, then ZERO and SPAN written when they changed.
void CalibrationTick(HWND page);
