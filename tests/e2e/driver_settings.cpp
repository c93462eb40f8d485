// Reading and preparing orvi.ini directly, apart from the profile API under test.
#include "driver_settings.h"

#include <windows.h>
#include <shlobj.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace {
std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool SameWord(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }
}  // namespace

std::string SettingsFilePath() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Tavelo\\orvi.ini";
}

std::string OldSettingsFilePath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\orvi.ini";
}

std::string VirtualStoreSettingsFilePath() {
    char localAppData[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData);
    // C:\Windows\orvi.ini becomes VirtualStore\Windows\orvi.ini: the path without its drive.
    const std::string windows = OldSettingsFilePath();
    return std::string(localAppData) + "\\VirtualStore" + windows.substr(windows.find('\\'));
}

SettingsFile ReadSettingsFile() {
    SettingsFile file;
    std::ifstream in(SettingsFilePath(), std::ios::binary);
    if (!in) return file;
    std::ostringstream content;
    content << in.rdbuf();
    file.exists = true;
    file.bytes = content.str();
    return file;
}

void WriteSettingsFile(const std::string& text) {
    const std::string path = SettingsFilePath();
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void WriteOldSettingsFile(const std::string& text) {
    std::ofstream out(OldSettingsFilePath(), std::ios::binary | std::ios::trunc);
    out << text;
}

void WriteVirtualStoreSettingsFile(const std::string& text) {
    const std::string path = VirtualStoreSettingsFilePath();
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void RemoveSettingsFile() {
    DeleteFileA(SettingsFilePath().c_str());
    DeleteFileA(OldSettingsFilePath().c_str());
    DeleteFileA(VirtualStoreSettingsFilePath().c_str());
}

std::string StoredSetting(const std::string& key) {
    std::istringstream lines(ReadSettingsFile().bytes);
    std::string line;
    bool inSection = false;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            inSection = SameWord(line, "[Communication]");
            continue;
        }
        const size_t equals = line.find('=');
        if (inSection && equals != std::string::npos && SameWord(Trim(line.substr(0, equals)), key))
            return Trim(line.substr(equals + 1));
    }
    return "<absent>";
}
