// The standard Open and Save dialogs for the records' files, and whole-file reads and writes by wide name.
#pragma once
#include <windows.h>

#include <string>

// The file the user chose; empty when the dialog was cancelled. filter as OPENFILENAMEW wants it.
std::wstring AskFileToSave(HWND owner, const wchar_t* filter, const wchar_t* extension, const std::wstring& name);
std::wstring AskFileToOpen(HWND owner, const wchar_t* filter);

// The whole file; false with GetLastError's value in *error.
bool ReadWholeWideFile(const std::wstring& path, std::string* bytes, DWORD* error);
// Written beside the target and moved over it, so that a failed write never leaves half a file.
bool ReplaceWideFile(const std::wstring& path, const std::string& bytes, DWORD* error);
// A file name for a message (CP1252; characters the code page lacks become '?').
std::string FileNameText(const std::wstring& path);
