// Program-wide state and helpers of the configurator's shell, used by the sheet and its pages.
#pragma once
#include <windows.h>
#include <cstdint>

extern HINSTANCE programInstance;
extern HWND mainWindow;
extern HICON programIcon;
extern int32_t standAloneMode;  // 1 while the Communication page runs as a dialog of its own

// Runs a modal dialog from the program's resources with creation parameter 0.
INT_PTR RunDialog(LPCSTR templateName, HWND owner, DLGPROC procedure);

// Centres a dialog over the main window's client area (integer arithmetic).
void CenterDialog(HWND dialog);

// Procedure of the please-wait window "CxDlgComm": it only centres itself.
INT_PTR CALLBACK PleaseWaitProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
