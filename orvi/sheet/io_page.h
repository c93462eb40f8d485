// The Input/Output page of the configuration sheet: its procedure, which reads the configuration as
// the sheet opens and dispatches to the page's other files.
#pragma once
#include <windows.h>

INT_PTR CALLBACK IoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
