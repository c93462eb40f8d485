// Recognising message boxes among a process's dialogs by the controls of the system's box template.
#include "driver_message_box.h"

#include "driver_wait.h"
#include "driver_windows.h"

namespace {

// The text and icon identifiers of the message box template (Wine's and Windows').
HWND TextControl(HWND box) {
    if (HWND text = GetDlgItem(box, 100)) return text;
    return GetDlgItem(box, 0xFFFF);
}
bool HasBoxIcon(HWND box) { return GetDlgItem(box, 1088) != nullptr || GetDlgItem(box, 20) != nullptr; }

HWND FindMessageBox(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, true))
        if (ClassOf(window) == "#32770" && HasBoxIcon(window) && TextControl(window) != nullptr) return window;
    return nullptr;
}

}  // namespace

SeenMessageBox WaitForMessageBox(DWORD processId) {
    SeenMessageBox seen;
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindMessageBox(processId)) != nullptr; })) return seen;
    seen.window = box;
    seen.caption = TextOf(box);
    seen.text = TextOf(TextControl(box));
    return seen;
}

bool ShowsMessageBox(DWORD processId) { return FindMessageBox(processId) != nullptr; }

bool AnswerMessageBox(const SeenMessageBox& box, int buttonId) {
    if (box.window == nullptr) return false;
    PressButton(box.window, buttonId);
    return WaitGone(box.window);
}
