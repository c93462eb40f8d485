// orvi.ini through the Win32 private-profile API: per user in %APPDATA%\Tavelo, read from the
// Windows directory until the user's own file exists.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "comm_settings.h"
#include "ui_text.h"

namespace {
const wchar_t kFolderName[] = L"Tavelo";
const wchar_t kFileName[] = L"orvi.ini";

// The user's roaming application data folder plus "\Tavelo"; empty when the system has none.
std::wstring UserFolder() {
    PWSTR appData = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData)))
        folder = std::wstring(appData) + L"\\" + kFolderName;
    CoTaskMemFree(appData);
    return folder;
}

std::wstring UserFile() {
    const std::wstring folder = UserFolder();
    return folder.empty() ? folder : folder + L"\\" + kFileName;
}

// Where earlier versions kept the file, so that an installation keeps its port, rate and address.
std::wstring WindowsDirectoryFile() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kFileName;
    return std::wstring(folder) + L"\\" + kFileName;
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ProfileSettingsStore : public SettingsStore {
public:
    bool Read(const char* section, const char* key, char* buffer, unsigned size) override {
        if (size == 0) return false;
        const std::wstring userFile = UserFile();
        const std::wstring file = FileExists(userFile) ? userFile : WindowsDirectoryFile();
        // A default no real value can hold tells an absent key from an empty one.
        static const wchar_t kAbsent[] = L"\x01";
        wchar_t value[256];
        GetPrivateProfileStringW(WideFrom1252(section).c_str(), WideFrom1252(key).c_str(), kAbsent, value,
                                 sizeof value / sizeof value[0], file.c_str());
        if (value[0] == kAbsent[0] && value[1] == L'\0') return false;
        char narrow[256];
        const int length = WideCharToMultiByte(1252, 0, value, -1, narrow, sizeof narrow, nullptr, nullptr);
        if (length <= 0) narrow[0] = '\0';
        lstrcpynA(buffer, narrow, static_cast<int>(size));
        return true;
    }

    bool Write(const char* section, const char* key, const char* value) override {
        const std::wstring folder = UserFolder();
        if (folder.empty()) return false;
        // The profile API creates the file but not its folder.
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        return WritePrivateProfileStringW(WideFrom1252(section).c_str(), WideFrom1252(key).c_str(),
                                          WideFrom1252(value).c_str(), (folder + L"\\" + kFileName).c_str()) != 0;
    }
};
}  // namespace

SettingsStore& SystemSettingsStore() {
    static ProfileSettingsStore store;
    return store;
}
