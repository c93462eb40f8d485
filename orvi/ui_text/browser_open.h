// Opening a file of ours (the guide, a report) in the user's browser.
#pragma once
#include <windows.h>

#include <string>

// True for a file named *.htm or *.html (any case), the only files handed to the browser: the
// association of any other type may run it. A name with a stream (":") is never one.
bool IsBrowserPage(const std::wstring& file);

// Hands the file's URL, with "#fragment" when one is given, to the program that opens http links;
// without such a program (or when it does not start) the file opens through its own association,
// at its start. False when neither started anything, and at once for a file that is not a page.
bool OpenInBrowser(HWND owner, const std::wstring& file, const std::wstring& fragment);
