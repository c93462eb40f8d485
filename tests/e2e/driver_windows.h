// Finding, reading and pressing the windows and controls of another process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Top-level windows of a process, in z-order; visibleOnly leaves hidden ones out.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);

// A top-level window of the process with this class and title (nullptr: any), or nullptr.
HWND FindTopLevel(DWORD processId, const char* className, const char* title, bool visibleOnly);
HWND WaitForTopLevel(DWORD processId, const char* className, const char* title, bool visibleOnly);

// A visible dialog (class "#32770") of the process with this caption, once it has appeared.
HWND WaitForDialog(DWORD processId, const std::string& caption);

// Text of a window or control, read with WM_GETTEXT (which crosses processes, GetWindowText does not).
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// Presses a button by its identifier without waiting for what it opens.
void PressButton(HWND dialog, int id);
// Sends a menu command (notification 0) without waiting for what it opens.
void PostMenuCommand(HWND window, WPARAM id);
// Opens a menu of the window as Alt and a key would (' ': the system menu) and returns the popup, once shown.
HWND OpenMenuByKey(HWND window, char key);

bool WaitGone(HWND window);
// True when the window's thread answers within a short time (it is not stuck).
bool Responds(HWND window);

bool IsButtonChecked(HWND dialog, int id);
bool IsControlVisible(HWND dialog, int id);

// Combo boxes: the number of entries, one entry, and the text of the selection ("" for none).
int ComboCount(HWND dialog, int id);
std::string ComboItem(HWND dialog, int id, int index);
std::string ComboSelection(HWND dialog, int id);
