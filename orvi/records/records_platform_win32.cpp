// The records' operating-system parts on Windows: the local application-data folder, the user and
// computer names, appends through a handle opened for FILE_APPEND_DATA only, and whole files replaced
// by MoveFileExW.
#include <windows.h>
#include <shlobj.h>

#include <cerrno>

#include "file_text.h"
#include "records_platform.h"
#include "text_convert.h"

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

// The system's own words for an error no table below names.
std::string SystemText(DWORD error) {
    wchar_t text[256] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text / sizeof text[0], nullptr);
    std::string problem = length ? Utf8Of(text, static_cast<int>(length)) : std::string();
    while (!problem.empty() && (problem.back() == '\n' || problem.back() == '\r' || problem.back() == '.'))
        problem.pop_back();
    return problem.empty() ? Format("erro %lu do Windows", static_cast<unsigned long>(error)) : problem;
}

// Why a file could not be written or appended to, in the words orvictl uses for the same failure
// elsewhere; other errors in the system's own words.
std::string ProblemOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileErrorText(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileErrorText(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileErrorText(ENOSPC);
    case ERROR_WRITE_PROTECT: return FileErrorText(EROFS);
    case ERROR_FILENAME_EXCED_RANGE: return FileErrorText(ENAMETOOLONG);
    default: return SystemText(error);
    }
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
    // FILE_READ_DATA to look at its last byte. Written through to the disk before WriteFile returns
    // (FlushFileBuffers would need GENERIC_WRITE, whose FILE_WRITE_DATA undoes the append-only write).
    const HANDLE file =
        CreateFileW(wide.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
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

namespace {
// Writes all of bytes; a short write without an error is a full disk.
DWORD WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done < 0x40000000u ? bytes.size() - done : 0x40000000u);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_DISK_FULL;
        done += written;
    }
    return ERROR_SUCCESS;
}
}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string* problem) {
    const std::wstring target = WideOf(path);
    // MOVEFILE_REPLACE_EXISTING does not replace a folder; say what it is rather than "access denied".
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        *problem = FileErrorText(EISDIR);
        return false;
    }
    // The process and a count make the name unique among writers; CREATE_NEW makes sure of it.
    static LONG count = 0;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(InterlockedIncrement(&count));
        // GENERIC_WRITE: FlushFileBuffers needs it.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        *problem = ProblemOf(error);
        return false;
    }
    error = WriteAll(file, bytes);
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
    // A file is moved only once it is closed; data still held may fail to reach the disk only now.
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    // MOVEFILE_WRITE_THROUGH: the move is on the disk when the call returns.
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error == ERROR_SUCCESS) return true;
    DeleteFileW(temporary.c_str());
    *problem = ProblemOf(error);
    return false;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    localtime_s(&local, &seconds);
    return local;
}
