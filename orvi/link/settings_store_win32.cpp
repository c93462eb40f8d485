// orvi.ini through the Win32 private-profile API: per user in %APPDATA%\Tavelo, read from where
// earlier versions left it until the user's own file exists.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "comm_settings.h"
#include "ui_text.h"

namespace {
const wchar_t kFolderName[] = L"Tavelo";
const wchar_t kFileName[] = L"orvi.ini";

// A known folder of the user; empty when the system has none.
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

// The user's roaming application data folder plus "\Tavelo"; empty when the system has none.
std::wstring UserFolder() {
    const std::wstring appData = KnownFolder(FOLDERID_RoamingAppData);
    return appData.empty() ? appData : appData + L"\\" + kFolderName;
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

// An earlier program without a manifest, run unelevated, wrote the Windows directory's file but
// UAC virtualisation put it under %LOCALAPPDATA%\VirtualStore, at the same path without the drive.
std::wstring VirtualStoreFile() {
    const std::wstring real = WindowsDirectoryFile();
    const std::wstring localAppData = KnownFolder(FOLDERID_LocalAppData);
    if (localAppData.empty() || real.size() < 3 || real[1] != L':' || real[2] != L'\\') return std::wstring();
    return localAppData + L"\\VirtualStore" + real.substr(2);
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The user's own file once it exists; before that what the earlier program saw: its virtualised
// copy where there is one, else the Windows directory's file.
std::wstring FileToRead() {
    const std::wstring userFile = UserFile();
    if (FileExists(userFile)) return userFile;
    const std::wstring virtualised = VirtualStoreFile();
    return FileExists(virtualised) ? virtualised : WindowsDirectoryFile();
}

class ProfileSettingsStore : public SettingsStore {
public:
    bool Read(const char* section, const char* key, char* buffer, unsigned size) override {
        if (size == 0) return false;
        const std::wstring file = FileToRead();
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
