// Driving the configuration sheet's live pages in Orvi.exe: open the sheet, show a page, type, count frames.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "sim_client.h"

inline const char kSheetCaption[] = "Configurador Orvi V1.11";
inline const char kSimOnCom1[] = "[Communication]\r\nAddress=1\r\nPort=COM1\r\nBaud=9600\r\n";

// The page the sheet shows now (PSM_GETCURRENTPAGEHWND carries no pointer, so it crosses processes).
inline HWND CurrentPage(HWND sheet) {
    DWORD_PTR page = 0;
    SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 3000, &page);
    return reinterpret_cast<HWND>(page);
}

// Asks the sheet for another page without waiting for what the page's activation opens.
inline void PostSelectPage(HWND sheet, int index) { PostMessageA(sheet, PSM_SETCURSEL, index, 0); }

inline HWND WaitForPage(HWND sheet, const std::string& caption) {
    HWND page = nullptr;
    WaitFor([&] { return (page = CurrentPage(sheet)) != nullptr && TextOf(page) == caption; });
    return page;
}

// Shows the Calibration page, answering with OK the box its activation opens (returned in *notice);
// the page, or nullptr when no box or no page came.
inline HWND ShowCalibrationPage(DWORD processId, HWND sheet, SeenMessageBox* notice) {
    PostSelectPage(sheet, 2);
    *notice = WaitForMessageBox(processId);
    if (notice->window == nullptr || !AnswerMessageBox(*notice, IDOK)) return nullptr;
    return WaitForPage(sheet, "Calibração");
}

inline std::string ControlText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

// Replaces an edit's text as typing would (WM_SETTEXT is marshalled across processes).
inline void TypeText(HWND dialog, int id, const std::string& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 3000, &ignored);
}

// Presses the up arrow key in a spin's buddy edit; posted, so several presses queue up together.
inline void PostArrowUp(HWND dialog, int editId) {
    HWND edit = GetDlgItem(dialog, editId);
    PostMessageA(edit, WM_KEYDOWN, VK_UP, 0x00480001);
    PostMessageA(edit, WM_KEYUP, VK_UP, 0xC0480001);
}

// How many requests the simulator heard that begin with this hex prefix (address and function first).
inline int CountFrames(SimClient& sim, const std::string& prefix) {
    int count = 0;
    for (const std::string& frame : sim.Log())
        if (frame.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

// Visible message boxes (and other dialogs) of the process with this caption.
inline int CountDialogs(DWORD processId, const std::string& caption) {
    int count = 0;
    for (HWND window : TopLevelWindows(processId, true))
        if (ClassOf(window) == "#32770" && TextOf(window) == caption) ++count;
    return count;
}
