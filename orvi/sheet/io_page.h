// The Input/Output page of the configuration sheet: its procedure and what other pages use of it.
#pragma once
#include <windows.h>

#include "config_snapshot.h"

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

// A configuration file's values (the editable fields of values) shown on the page as the user's
// edits, Apply enabled; without a live page they wait for the page's next opening.
void PutFileValuesOnPages(const ConfigSnapshot& values);
// At the page's opening: shows values that wait (by a message to the page, handled by
// HandleWaitingFileValues), once the configuration was read; drops them otherwise.
void ShowWaitingFileValues(HWND page, bool configurationRead);
bool HandleWaitingFileValues(HWND page, UINT message);
// In the apply, after the page's writes: a file's offset that differs from the transmitter's,
// written and read back. False (after saying so) when that write failed.
bool WriteWaitingOffset(HWND page);
