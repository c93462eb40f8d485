// The common file dialogs and the whole-file reads behind them, wide names throughout.
#include "shell/file_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "ui_text.h"

const wchar_t kConfigFileFilter[] = L"Configuração do Orvi (*.ini)\0*.ini\0Todos os arquivos (*.*)\0*.*\0";

namespace {
constexpr DWORD kLongestPath = 32768;  // a \\?\ path; the dialogs return what fits

std::wstring Ask(HWND owner, const char* title, const wchar_t* filter, const wchar_t* extension,
                 const std::wstring& name, bool save) {
    const std::wstring caption = WideFrom1252(title);
    std::vector<wchar_t> file(kLongestPath, L'\0');
    name.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension;
    dialog.lpstrTitle = caption.c_str();
    // The program's own folder stays its current one: the guide and settings are found from there.
    dialog.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)) return file.data();
    // Zero: the user cancelled. Anything else is the dialog's own failure.
    if (CommDlgExtendedError() != 0)
        ShowMessage(owner, "A janela para escolher o arquivo não pôde ser aberta.", title, MB_OK | MB_ICONWARNING);
    return std::wstring();
}
}  // namespace

std::wstring AskFileToSave(HWND owner, const char* title, const wchar_t* filter, const wchar_t* extension,
                           const std::wstring& name) {
    return Ask(owner, title, filter, extension, name, true);
}

std::wstring AskFileToOpen(HWND owner, const char* title, const wchar_t* filter) {
    return Ask(owner, title, filter, nullptr, L"", false);
}

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

std::wstring SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring reason = text != nullptr ? text : L"";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.'))
        reason.pop_back();
    return reason.empty() ? L"erro " + std::to_wstring(error) : reason;
}

void ShowFileMessage(HWND owner, const char* caption, const char* before, const std::wstring& file, const char* after) {
    const std::wstring text = WideFrom1252(before) + file + WideFrom1252(after);
    MessageBoxW(owner, text.c_str(), WideFrom1252(caption).c_str(), MB_OK | MB_ICONWARNING);
}
