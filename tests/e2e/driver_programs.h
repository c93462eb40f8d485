// Starting the configurator and the launcher under test and finding their main windows.
#pragma once
#include <windows.h>

#include <string>

#include "driver_process.h"

// Orvi.exe with the argument tail exactly as given (it may be empty or end in a blank).
DriverProcess StartOrvi(const std::string& tail);
// The hidden or shown main window (class "ORVI") of a configurator process, once it exists.
HWND WaitForOrviWindow(DWORD processId);
// The main window once the service mode has shown it.
HWND WaitForShownOrviWindow(DWORD processId);
// The main window of any configurator process now, or nullptr: a second one would only raise it and end.
HWND AnyOrviWindow();

// What a process shows when an awaited window did not come: whether it still runs (or its exit code)
// and each of its top-level windows with class, caption and whether shown, for a failure message.
std::string DescribeProcess(const DriverProcess& process);

// The dialog's top-left corner is where centring over the owner's client area puts it.
bool IsCentredOverClientArea(HWND dialog, HWND owner, std::string* details);
