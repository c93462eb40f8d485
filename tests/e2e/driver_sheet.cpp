// Sheet-mode helpers for the Input/Output and Communication page tests.
#include "driver_sheet.h"

#include "driver_programs.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "live_sheet.h"

bool OpenSheetSession(SheetSession* session) {
    session->orvi = StartOrvi("CN");
    session->sheet = WaitForDialog(session->orvi.Id(), kSheetCaption);
    if (session->sheet == nullptr) return false;
    session->ioPage = WaitForPage(session->sheet, "Entrada/Saída");
    return session->ioPage != nullptr;
}

bool ChooseComboEntry(HWND dialog, int id, const std::string& text) {
    const int count = ComboCount(dialog, id);
    for (int index = 0; index < count; ++index) {
        if (ComboItem(dialog, id, index) != text) continue;
        HWND combo = GetDlgItem(dialog, id);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(combo, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return ComboSelection(dialog, id) == text;
    }
    return false;
}

SeenMessageBox WaitForMessageBoxWithin(DWORD processId, DWORD timeoutMs) {
    if (!WaitFor([&] { return ShowsMessageBox(processId); }, timeoutMs)) return SeenMessageBox();
    return WaitForMessageBox(processId);
}

bool OffersAbortRetryIgnore(HWND box) {
    // The box template may keep the buttons it does not use, hidden.
    return IsControlVisible(box, IDABORT) && IsControlVisible(box, IDRETRY) && IsControlVisible(box, IDIGNORE) &&
           !IsControlVisible(box, IDOK) && !IsControlVisible(box, IDCANCEL);
}

std::string PaddedName(const std::string& name, size_t width) {
    std::string padded = name;
    if (padded.size() < width) padded.resize(width, ' ');
    return padded;
}
