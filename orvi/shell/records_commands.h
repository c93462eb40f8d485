// What the configurator keeps of a transmitter: its configuration in a file, the commissioning report
// and the history of its changes. Reached from the service window's menu and the sheet's system menu.
#pragma once
#include <windows.h>

// The menu's items for these commands, in order.
struct RecordsMenuItem {
    UINT command;
    const char* text;  // CP1252
};
extern const RecordsMenuItem kRecordsMenuItems[4];

// Appends a separator and the commands to a window's system menu (the sheet's).
void AddRecordsToSystemMenu(HWND window);
// Runs command when it is one of the records' commands, owned by owner; false otherwise.
bool RunRecordsCommand(HWND owner, UINT command);

// The commands themselves.
void SaveConfigurationToFile(HWND owner);
void OpenConfigurationFile(HWND owner);
void MakeCommissioningReport(HWND owner);
void ShowChangeHistory(HWND owner);
