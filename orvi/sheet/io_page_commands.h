// The Input/Output page's command handlers: lists, edits, the blocking box and the unit switches.
#pragma once
#include <windows.h>

// Any notification of a control runs its handler; every handler is safe to repeat.
void HandleIoPageCommand(HWND page, int controlId);
