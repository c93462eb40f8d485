// The launcher under test: a folder of its own with the program files a test wants beside it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "driver_process.h"

// Makes ScratchFolder()\name afresh with Configurador.exe and the listed files. "ORVI.EXE" is a copy of
// the configurator; any other name is a copy of the configurator too, so that a start by mistake shows.
std::string PrepareLauncherFolder(const std::string& name, const std::vector<std::string>& files);

// Starts Configurador.exe from that folder, with that folder (or workingFolder) as its working folder.
DriverProcess StartLauncher(const std::string& folder, const std::string& workingFolder = "");
HWND WaitForLauncherWindow(DWORD processId);

// Opens the "&Ferramentas" popup of the launcher's menu bar as a user would, and returns the popup.
HWND OpenToolsMenu(HWND launcherWindow);
// Closes any open menu of the launcher.
void CloseMenus(HWND launcherWindow);

// Whether each entry of an open popup is drawn greyed, top to bottom, from its picture.
std::vector<bool> GreyedEntries(HWND popup, size_t entryCount);
