// Text put on the clipboard for other programs to paste.
#pragma once
#include <windows.h>

#include <string>

// Replaces the clipboard's contents with text (CF_UNICODETEXT), window becoming its owner; false when
// the clipboard could not be opened (another program holds it) or the text not placed.
bool PutTextOnClipboard(HWND window, const std::wstring& text);
