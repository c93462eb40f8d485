// Opening a file in the user's browser: through the http protocol's program, or the file's association.
#include "browser_open.h"

#include <shellapi.h>
#include <shlwapi.h>

// Windows 8 and later: map a protocol through the user's choice of program (older headers lack it).
#ifndef ASSOCF_IS_PROTOCOL
#define ASSOCF_IS_PROTOCOL 0x00001000
#endif

namespace {

constexpr DWORD kLongestUrl = 2084;  // INTERNET_MAX_URL_LENGTH

// The browser that opens http links. A file opened through its own association loses the
// "#section" part, so the browser is handed the whole URL instead.
std::wstring BrowserProgram() {
    wchar_t program[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (FAILED(AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_EXECUTABLE, L"http", L"open", program, &size)))
        return std::wstring();
    return program;
}

// ShellExecute's result is greater than 32 when it started something.
bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

bool IsBrowserPage(const std::wstring& file) {
    const size_t folder = file.find_last_of(L"\\/");
    const std::wstring name = folder == std::wstring::npos ? file : file.substr(folder + 1);
    const size_t dot = name.rfind(L'.');
    if (name.find(L':') != std::wstring::npos || dot == std::wstring::npos) return false;
    std::wstring extension = name.substr(dot + 1);
    for (wchar_t& c : extension)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return extension == L"htm" || extension == L"html";
}

bool OpenInBrowser(HWND owner, const std::wstring& file, const std::wstring& fragment) {
    // ShellExecute opens any other file by its type's association, which runs a program or script.
    if (!IsBrowserPage(file)) return false;
    wchar_t url[kLongestUrl] = {};
    DWORD size = kLongestUrl;
    if (SUCCEEDED(UrlCreateFromPathW(file.c_str(), url, &size, 0))) {
        const std::wstring argument = L"\"" + std::wstring(url) + (fragment.empty() ? L"" : L"#" + fragment) + L"\"";
        const std::wstring browser = BrowserProgram();
        if (!browser.empty() &&
            Started(ShellExecuteW(owner, L"open", browser.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL)))
            return true;
    }
    return Started(ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}
