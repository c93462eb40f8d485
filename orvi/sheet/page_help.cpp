// Opening the user guide (HTML, in the system's browser), or an old ORVI.HLP where the guide is missing.
#include "page_help.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include "own_folder.h"
#include "ui_text.h"

// Windows 8 and later: map a protocol through the user's choice of program (older headers lack it).
#ifndef ASSOCF_IS_PROTOCOL
#define ASSOCF_IS_PROTOCOL 0x00001000
#endif

namespace {

const wchar_t kGuideFileName[] = L"orvi-ajuda.html";
constexpr DWORD kLongestUrl = 2084;  // INTERNET_MAX_URL_LENGTH

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The browser that opens http links. A file opened through its own association loses the
// "#section" part, so the browser is handed the whole URL instead.
std::wstring BrowserProgram() {
    wchar_t program[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (FAILED(AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_EXECUTABLE, L"http", L"open", program, &size)))
        return std::wstring();
    return program;
}

void OpenGuide(HWND page, const std::wstring& guide, int context) {
    wchar_t url[kLongestUrl] = {};
    DWORD size = kLongestUrl;
    if (SUCCEEDED(UrlCreateFromPathW(guide.c_str(), url, &size, 0))) {
        const std::wstring section = std::wstring(L"\"") + url + L"#" + std::to_wstring(context) + L"\"";
        const std::wstring browser = BrowserProgram();
        if (!browser.empty() && reinterpret_cast<INT_PTR>(ShellExecuteW(page, L"open", browser.c_str(), section.c_str(),
                                                                        nullptr, SW_SHOWNORMAL)) > 32)
            return;
    }
    // No browser to name: the guide opens at its start.
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(page, L"open", guide.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return;
    ShowMessage(page, "Não foi possível abrir a ajuda (orvi-ajuda.html).", "Ajuda", MB_OK | MB_ICONWARNING);
}

}  // namespace

void OpenPageHelp(HWND page, int context) {
    const std::wstring folder = ProgramFolder();
    const std::wstring guide = folder + kGuideFileName;
    const std::wstring oldHelp = folder + L"ORVI.HLP";
    // WinHelp is only a stub on Windows 10 and 11: the old file serves only where the guide is missing.
    if (!folder.empty() && !FileExists(guide) && FileExists(oldHelp)) {
        WinHelpW(page, oldHelp.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context));
        return;
    }
    OpenGuide(page, guide, context);
}
