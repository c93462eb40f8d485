// Opening a file of ours (the guide, a report) in the user's browser.
#pragma once
#include <windows.h>

#include <string>

// Hands the file's URL, with "#fragment" when one is given, to the program that opens http links;
// without such a program (or when it does not start) the file opens through its own association,
// at its start. False when neither started anything.
bool OpenInBrowser(HWND owner, const std::wstring& file, const std::wstring& fragment);
