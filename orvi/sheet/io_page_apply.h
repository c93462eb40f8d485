// Apply on the Input/Output page: the consistency checks, then the register writes.
#pragma once
#include <windows.h>

// The apply result for the sheet: no error, or invalid when a check failed and nothing was written.
LONG_PTR ApplyIoPage(HWND page);
