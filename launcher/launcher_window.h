// The launcher's main window, class "Configurador".
#pragma once
#include <windows.h>

bool RegisterLauncherClass();
HWND CreateLauncherWindow();
