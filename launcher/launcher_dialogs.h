// The launcher's own dialog runner, centring and About box procedure.
#pragma once
#include <windows.h>

extern HINSTANCE launcherInstance;
extern HWND launcherWindow;

INT_PTR RunDialog(LPCSTR templateName, HWND owner, DLGPROC procedure);
void CenterDialog(HWND dialog);
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
