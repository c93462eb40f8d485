// The standard Open and Save dialogs for the records' files, whole-file reads by wide name,
// and the messages that name such a file.
#pragma once
#include <windows.h>

#include <string>

// The Open and Save dialogs' filter for configuration files.
extern const wchar_t kConfigFileFilter[];

// The file the user chose; empty when the dialog was cancelled (or could not open, which a box owned
// by owner says). title (CP1252) is the dialog's caption; filter as OPENFILENAMEW wants it.
std::wstring AskFileToSave(HWND owner, const char* title, const wchar_t* filter, const wchar_t* extension,
                           const std::wstring& name);
std::wstring AskFileToOpen(HWND owner, const char* title, const wchar_t* filter);

// The whole file; false with GetLastError's value in *error.
bool ReadWholeWideFile(const std::wstring& path, std::string* bytes, DWORD* error);

// The system's reason for an error code, in the system's language.
std::wstring SystemReason(DWORD error);
// A warning box whose CP1252 texts stand around a file name, which may hold any character.
void ShowFileMessage(HWND owner, const char* caption, const char* before, const std::wstring& file, const char* after);
