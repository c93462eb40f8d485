// Procedures of the dialogs that the main window's menu opens.
#pragma once
#include <windows.h>

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HostCommDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LineDiagnosisProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
