// Window search and control access across processes, always with a time limit.
#include "driver_windows.h"

#include "driver_wait.h"

namespace {

constexpr UINT kAnswerMs = 3000;

struct Search {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT ok = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result);
    if (answered) *answered = ok != 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
    Search search{processId, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevel(DWORD processId, const char* className, const char* title, bool visibleOnly) {
    for (HWND window : TopLevelWindows(processId, visibleOnly)) {
        if (className && ClassOf(window) != className) continue;
        if (title && TextOf(window) != title) continue;
        return window;
    }
    return nullptr;
}

HWND WaitForTopLevel(DWORD processId, const char* className, const char* title, bool visibleOnly) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(processId, className, title, visibleOnly)) != nullptr; });
    return found;
}

HWND WaitForDialog(DWORD processId, const std::string& caption) {
    return WaitForTopLevel(processId, "#32770", caption.c_str(), true);
}

namespace {

// Read wide and turned into CP1252 here: an ANSI read would come in the system's code page, which
// under another language is not the code page of the expected texts.
std::string CodePage1252(const wchar_t* wide) {
    char text[1024] = {};
    WideCharToMultiByte(1252, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    text[sizeof text - 1] = '\0';
    return text;
}

}  // namespace

std::string TextOf(HWND window) {
    wchar_t wide[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(wide),
                        SMTO_ABORTIFHUNG, kAnswerMs, &ignored);
    wide[sizeof wide / sizeof wide[0] - 1] = L'\0';
    return CodePage1252(wide);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostMenuCommand(HWND window, WPARAM id) { PostMessageA(window, WM_COMMAND, id, 0); }

HWND OpenMenuByKey(HWND window, char key) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<unsigned char>(key));
    return WaitForTopLevel(processId, "#32768", nullptr, true);
}

bool WaitGone(HWND window) {
    return WaitFor([window] { return !IsWindow(window); });
}

bool Responds(HWND window) {
    bool answered = false;
    SendWithin(window, WM_NULL, 0, 0, &answered);
    return answered;
}

bool IsButtonChecked(HWND dialog, int id) {
    return SendWithin(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsControlVisible(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

int ComboCount(HWND dialog, int id) { return static_cast<int>(SendWithin(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0)); }

std::string ComboItem(HWND dialog, int id, int index) {
    // Wine hands an ANSI CB_GETLBTEXT from another process back cut short; the wide form arrives whole.
    wchar_t wide[256] = {};
    HWND combo = GetDlgItem(dialog, id);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, index, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length) ||
        static_cast<LRESULT>(length) == CB_ERR || length >= sizeof wide / sizeof wide[0])
        return "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, kAnswerMs,
                        &ignored);
    return CodePage1252(wide);
}

std::string ComboSelection(HWND dialog, int id) {
    const LRESULT index = SendWithin(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::string() : ComboItem(dialog, id, static_cast<int>(index));
}
