// Driving a common file dialog as a user would: its file name field, then its default button.
#include "driver_file_dialog.h"

#include <vector>

#include "driver_wait.h"
#include "driver_windows.h"

namespace {
// The file name field: an edit of its own (edt1) or the edit inside the file name combo box (cmb13).
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47C;

struct Search {
    HWND edit = nullptr;
};

BOOL CALLBACK FindFileNameEdit(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    const int id = GetDlgCtrlID(child);
    const int parentId = GetDlgCtrlID(GetParent(child));
    if (ClassOf(child) == "Edit" && (id == kFileNameEdit || id == kFileNameCombo || parentId == kFileNameCombo)) {
        search->edit = child;
        return FALSE;
    }
    return TRUE;
}

HWND FileNameEditOf(HWND dialog) {
    Search search;
    EnumChildWindows(dialog, FindFileNameEdit, reinterpret_cast<LPARAM>(&search));
    return search.edit;
}

HWND FileDialogOf(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, true))
        if (ClassOf(window) == "#32770" && FileNameEditOf(window) != nullptr) return window;
    return nullptr;
}
}  // namespace

bool ChooseFileInDialog(DWORD processId, const std::wstring& path) {
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FileDialogOf(processId)) != nullptr; })) return false;
    HWND edit = FileNameEditOf(dialog);
    // WM_SETTEXT's text is carried across processes; the dialog reads the field when OK is pressed.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
    return WaitGone(dialog);
}
