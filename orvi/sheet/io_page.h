// The Input/Output page of the configuration sheet: its procedure and what other pages use of it.
#pragma once
#include <windows.h>

// The page's window while it exists; null before its first initialisation and after it is destroyed.
extern HWND ioPageWindow;

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* IoPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern IoPageMessageBoxFunction ioPageMessageBox;

INT_PTR CALLBACK IoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the page's controls from the snapshot; does nothing without a live page window.
void FillIoPage(HWND page);

// Disables the unit buttons and their label for a linear input, enables them otherwise.
void EnableUnitControls(HWND page, bool linear);

// Set point, initial blocking and hysteresis with their up-downs; labels and the list stay enabled.
void EnableAlarmControls(HWND page, bool enable);
