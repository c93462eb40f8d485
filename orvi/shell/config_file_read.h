// Reading a configuration file the user chose for the sheet: its text, its values and what else it names.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "file_extras.h"
#include "requested_values.h"

struct ConfigFileRead {
    std::string text;  // UTF-8, whatever the file's own encoding
    std::vector<RequestedValue> requests;
    FileExtras extras;
};

// The file at path read whole and parsed with the same checks and texts as orvictl load; false after
// a warning box owned by owner, with caption, whose last line says what follows (both CP1252).
bool ReadConfigFile(HWND owner, const char* caption, const char* consequence, const std::wstring& path,
                    ConfigFileRead* read);

// The file the user chooses in the Open dialog, read as above; false when the dialog was cancelled or
// the file refused (said).
bool ChooseConfigFile(HWND owner, const char* caption, const char* consequence, std::wstring* path,
                      ConfigFileRead* read);

// A file refused for why (UTF-8, from the records; it may name the file), in the same kind of box.
void RefuseConfigFile(HWND owner, const char* caption, const std::string& why, const char* consequence);
