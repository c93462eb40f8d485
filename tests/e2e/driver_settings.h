// The configurator's orvi.ini as the driver sees it: whole-file state and key values.
#pragma once
#include <string>

// Where the platform keeps "orvi.ini" (the Windows directory).
std::string SettingsFilePath();

// The file's bytes; exists is false when there is no file.
struct SettingsFile {
    bool exists = false;
    std::string bytes;
};
SettingsFile ReadSettingsFile();
void WriteSettingsFile(const std::string& text);
void RemoveSettingsFile();

// The value of a key of section "Communication" as written in the file; "<absent>" when missing.
std::string StoredSetting(const std::string& key);
