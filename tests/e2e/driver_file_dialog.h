// The standard Open and Save dialogs of another process: typing a file name and confirming it.
#pragma once
#include <windows.h>

#include <string>

// Waits for the process's file dialog, types path into its file name field and presses its OK
// button; false when no file dialog came or it did not close.
bool ChooseFileInDialog(DWORD processId, const std::wstring& path);
