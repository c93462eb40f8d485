// Program-wide state and helpers of the configurator's shell.
#pragma once
#include <windows.h>

extern HINSTANCE programInstance;
extern HWND mainWindow;
extern HICON programIcon;

// Runs a modal dialog from the program's resources with creation parameter 0.
INT_PTR RunDialog(LPCSTR templateName, HWND owner, DLGPROC procedure);

// Centres a dialog over the main window's client area (integer arithmetic).
void CenterDialog(HWND dialog);

// Shows the please-wait window "CxDlgComm" (centred, drawn at once) over owner while the
// configuration is read; the caller destroys it. Null when it could not be made.
HWND ShowPleaseWait(HWND owner);
