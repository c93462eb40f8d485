// The common file dialogs and the file reads and writes behind them, wide names throughout.
#include "shell/file_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace {
constexpr DWORD kLongestPath = 32768;  // a \\?\ path; the dialogs return what fits

std::wstring Ask(HWND owner, const wchar_t* filter, const wchar_t* extension, const std::wstring& name, bool save) {
    std::vector<wchar_t> file(kLongestPath, L'\0');
    name.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension;
    // The program's own folder stays its current one: the guide and settings are found from there.
    dialog.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? std::wstring(file.data()) : std::wstring();
}
}  // namespace

std::wstring AskFileToSave(HWND owner, const wchar_t* filter, const wchar_t* extension, const std::wstring& name) {
    return Ask(owner, filter, extension, name, true);
}

std::wstring AskFileToOpen(HWND owner, const wchar_t* filter) { return Ask(owner, filter, nullptr, L"", false); }

bool ReadWholeWideFile(const std::wstring& path, std::string* bytes, DWORD* error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    bytes->clear();
    char buffer[4096];
    DWORD got = 0;
    BOOL ok = TRUE;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) bytes->append(buffer, got);
    *error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    return ok != FALSE;
}

bool ReplaceWideFile(const std::wstring& path, const std::string& bytes, DWORD* error) {
    const std::wstring temporary = path + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (ok) ok = FlushFileBuffers(file);
    *error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = GetLastError();
        ok = FALSE;
    }
    if (!ok) DeleteFileW(temporary.c_str());
    return ok != FALSE;
}

std::string FileNameText(const std::wstring& path) {
    if (path.empty()) return std::string();
    const int size = WideCharToMultiByte(1252, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0, "?", nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(1252, 0, path.c_str(), static_cast<int>(path.size()), &text[0], size, "?", nullptr);
    return text;
}
