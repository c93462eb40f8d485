// Message boxes of another process: waiting for one, reading it, answering it.
#pragma once
#include <windows.h>

#include <string>

struct SeenMessageBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// The first message box of the process, once one is shown; window is nullptr when none came in time.
SeenMessageBox WaitForMessageBox(DWORD processId);
// True when the process shows a message box right now.
bool ShowsMessageBox(DWORD processId);

// Presses a button of the box (IDOK, IDCANCEL, IDYES ...) and waits until the box has closed.
bool AnswerMessageBox(const SeenMessageBox& box, int buttonId);
