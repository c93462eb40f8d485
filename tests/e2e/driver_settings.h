// The configurator's orvi.ini as the driver sees it: whole-file state and key values.
#pragma once
#include <string>

// Where the configurator keeps "orvi.ini": %APPDATA%\Tavelo of the user.
std::string SettingsFilePath();
// Where earlier versions kept it, read while the user's own file does not exist: the Windows directory.
std::string OldSettingsFilePath();
// Where Windows put that file for an earlier 32-bit program without a manifest, run unelevated (UAC
// file virtualisation): %LOCALAPPDATA%\VirtualStore\Windows. Wine does not redirect; tests place it.
std::string VirtualStoreSettingsFilePath();

// The file's bytes; exists is false when there is no file.
struct SettingsFile {
    bool exists = false;
    std::string bytes;
};
SettingsFile ReadSettingsFile();
void WriteSettingsFile(const std::string& text);
void WriteOldSettingsFile(const std::string& text);
void WriteVirtualStoreSettingsFile(const std::string& text);
// Removes the user's file and the old ones.
void RemoveSettingsFile();

// The value of a key of section "Communication" as written in the file; "<absent>" when missing.
std::string StoredSetting(const std::string& key);
