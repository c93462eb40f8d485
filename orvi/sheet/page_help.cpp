// Opening the user guide (HTML, in the system's browser), or an old ORVI.HLP where the guide is missing.
#include "page_help.h"

#include <string>
#include "own_folder.h"
#include "browser_open.h"
#include "ui_text.h"

namespace {

const wchar_t kGuideFileName[] = L"orvi-ajuda.html";

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void OpenGuide(HWND page, const std::wstring& guide, int context) {
    // Without a browser to name, the guide opens at its start.
    if (OpenInBrowser(page, guide, std::to_wstring(context))) return;
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
