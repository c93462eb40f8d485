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

// The sheet visit's file (sheet_visit.h) on the page as the user's edits, Apply enabled; nothing
// without a live page or a file whose values are not on it yet.
void ShowSheetFile(HWND page);
// At the page's opening, once the configuration was read: the file the visit started with is shown
// by a message to the page, handled by HandleWaitingFileValues.
void ShowWaitingFileValues(HWND page);
bool HandleWaitingFileValues(HWND page, UINT message);
// In the apply, after the page's writes: the file's offset, when one waits, written and read back.
// False (after saying so) when that write failed; the offset then still waits.
bool WriteWaitingOffset(HWND page);
