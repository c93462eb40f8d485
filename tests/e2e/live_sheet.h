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
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        3000, &ignored);
}

// Presses the up arrow key in a spin's buddy edit; posted, so several presses queue up together.
inline void PostArrowUp(HWND dialog, int editId) {
    HWND edit = GetDlgItem(dialog, editId);
    PostMessageA(edit, WM_KEYDOWN, VK_UP, 0x00480001);
    PostMessageA(edit, WM_KEYUP, VK_UP, 0xC0480001);
}

// A left click on a control as the mouse gives it: button down, then up, posted to the control itself,
// so that a transaction's turnaround wait dispatches it if one is running.
inline void PostClick(HWND control, POINT at = POINT{3, 3}) {
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The centre of a tab of the sheet's tab row, in the tab control's client coordinates. TCM_GETITEMRECT
// carries a pointer that is not marshalled, so the rectangle is read in the sheet's own memory.
inline bool SheetTabCentre(HWND sheet, int index, HWND* tab, POINT* centre) {
    *tab = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(sheet, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (*tab == nullptr || process == nullptr) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect = {};
    DWORD_PTR found = 0;
    SendMessageTimeoutA(*tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000, &found);
    const bool read =
        remote != nullptr && found != 0 && ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    *centre = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return read;
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
