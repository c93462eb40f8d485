// The configurator's orvi.ini as the driver sees it: whole-file state and key values.
#pragma once
#include <string>

// Where the configurator keeps "orvi.ini": %APPDATA%\Tavelo of the user.
std::string SettingsFilePath();
// Where earlier versions kept it, read while the user's own file does not exist: the Windows directory.
std::string OldSettingsFilePath();

// The file's bytes; exists is false when there is no file.
struct SettingsFile {
    bool exists = false;
    std::string bytes;
};
SettingsFile ReadSettingsFile();
void WriteSettingsFile(const std::string& text);
void WriteOldSettingsFile(const std::string& text);
// Removes both the user's file and the old one.
void RemoveSettingsFile();

// The value of a key of section "Communication" as written in the file; "<absent>" when missing.
std::string StoredSetting(const std::string& key);
