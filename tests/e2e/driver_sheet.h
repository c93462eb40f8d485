// Driving Orvi.exe's configuration sheet in the sheet mode: opening it, choosing list entries, write-failure boxes.
#pragma once
#include <windows.h>

#include <string>

#include "driver_message_box.h"
#include "driver_process.h"

// Orvi.exe started with "CN", its sheet and the sheet's first page, the Input/Output page.
struct SheetSession {
    DriverProcess orvi;
    HWND sheet = nullptr;
    HWND ioPage = nullptr;
};

// Starts the sheet mode (orvi.ini must lead to the transmitter) and waits until the sheet shows its first
// page; the page reads the transmitter while the sheet is created, so it is filled by then.
bool OpenSheetSession(SheetSession* session);

// Chooses the entry with this text in a list as a user would: the selection moves and the dialog hears
// CBN_SELCHANGE (posted). False when the list has no such entry.
bool ChooseComboEntry(HWND dialog, int id, const std::string& text);

// A message box within a longer limit than the usual one (for programs that try for a long time first).
SeenMessageBox WaitForMessageBoxWithin(DWORD processId, DWORD timeoutMs);

// The box offers exactly Abort, Retry and Ignore.
bool OffersAbortRetryIgnore(HWND box);

// A catalogue name as the lists hold it: followed by blanks up to its column width.
std::string PaddedName(const std::string& name, size_t width);
