// The Communication page (template 103): what tests and other code may reach besides its procedure.
#pragma once
#include <windows.h>

class SheetHost;

// Runs the page modally as a dialog of its own (the search): its "&Fecha" button shows, and it
// closes the port and saves the settings on its way out. CommunicationPageProc itself is declared
// with the sheet (config_sheet.h).
INT_PTR RunCommunicationDialog(const SheetHost& host, HWND owner);
