// CP1252 texts of the code shown through the wide API, so they read right under any ANSI code page.
#pragma once
#include <windows.h>

#include <string>

// The literals are CP1252 bytes whatever the system's code page; Windows gets them as UTF-16.
std::wstring WideFrom1252(const char* text);
std::string Text1252FromWide(const wchar_t* text);
// Texts from the records (journal lines, file paths) are UTF-8; Windows gets them as UTF-16.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

void SetWindowText1252(HWND window, const char* text);
void SetItemText(HWND dialog, int id, const char* text);
// A control's text in CP1252 (for texts that are not numbers: port names, addresses).
std::string ItemText(HWND dialog, int id);

// The combo box messages with a text, sent in their wide form; they return what the message returns.
LRESULT AddComboEntry(HWND dialog, int id, const char* text);
LRESULT FindComboEntry(HWND dialog, int id, const char* text);
LRESULT SelectComboEntry(HWND dialog, int id, const char* text);

// MessageBoxW with CP1252 text and caption; its signature is MessageBoxA's, so tests can replace it.
int WINAPI ShowMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Dialogs made Unicode windows, so that the wide texts reach their controls without a pass through
// the ANSI code page; a template is named by text or by MAKEINTRESOURCEA.
INT_PTR RunUnicodeDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure);
HWND CreateUnicodeDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure);
