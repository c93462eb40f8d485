// Every message box of the Input/Output page goes through here (ShowMessage: MessageBoxW with the
// CP1252 texts); tests put an observer in its place.
#pragma once
#include <windows.h>

typedef int(WINAPI* IoPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern IoPageMessageBoxFunction ioPageMessageBox;
