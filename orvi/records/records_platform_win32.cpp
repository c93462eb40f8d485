// The records' operating-system parts on Windows: the local application-data folder, the user and
// computer names, and appends through a handle opened for FILE_APPEND_DATA only.
#include <windows.h>
#include <shlobj.h>

#include "records_platform.h"

namespace {
std::string Utf8Of(const wchar_t* wide, int length = -1) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return "";
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, &text[0], size, nullptr, nullptr);
    if (length < 0) text.resize(static_cast<size_t>(size) - 1);  // the terminator counted by -1
    return text;
}

std::wstring WideOf(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (size <= 0) return L"";
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

std::string ProblemOf(DWORD error) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string problem(text, length);
    while (!problem.empty() && (problem.back() == '\n' || problem.back() == '\r' || problem.back() == '.'))
        problem.pop_back();
    return problem.empty() ? "erro " + std::to_string(error) : problem;
}
}  // namespace

std::string JournalPath() {
    PWSTR folder = nullptr;
    std::string path;
    // FOLDERID_LocalAppData is %LOCALAPPDATA%; the caller frees the string with CoTaskMemFree.
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)))
        path = Utf8Of(folder) + "\\Tavelo\\journal.jsonl";
    CoTaskMemFree(folder);
    return path;
}

std::string CurrentUserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? Utf8Of(name) : "";
}

std::string MachineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Utf8Of(name) : "";
}

bool AppendLineToFile(const std::string& path, const std::string& line, std::string* problem) {
    const std::wstring wide = WideOf(path);
    const size_t slash = wide.find_last_of(L"\\/");
    // The Tavelo folder; ERROR_ALREADY_EXISTS is the usual answer.
    if (slash != std::wstring::npos) CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file, as one piece;
    // FILE_READ_DATA to look at its last byte.
    const HANDLE file =
        CreateFileW(wide.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = ProblemOf(GetLastError());
        return false;
    }
    std::string bytes = line;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        // A synchronous read at an offset given in the OVERLAPPED structure.
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>((size.QuadPart - 1) & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
        char last = '\n';
        DWORD got = 0;
        if (ReadFile(file, &last, 1, &got, &at) && got == 1 && last != '\n') bytes.insert(bytes.begin(), '\n');
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        *problem = ok ? "escrita incompleta (disco cheio?)" : ProblemOf(error);
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, bool* missing) {
    *missing = false;
    bytes->clear();
    const HANDLE file = CreateFileW(WideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    localtime_s(&local, &seconds);
    return local;
}
