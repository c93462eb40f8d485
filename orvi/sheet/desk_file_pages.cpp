// The Communication, Calibration and Diagnostic pages on a desk file: what needs a transmitter on the
// line is shown disabled with the reason, and nothing reaches the line. The Diagnostic page's offset
// is a value of the file and stays editable; the apply writes it with the rest.
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <string>

#include "config_sheet.h"
#include "diagnostic_page.h"
#include "io_page_controls.h"
#include "live_offset_tick.h"
#include "page_help.h"
#include "resource.h"
#include "sheet_visit.h"
#include "spin_value.h"

namespace {

const int kCommunicationHelpContext = 7;
const int kCalibrationHelpContext = 8;
const int kDiagnosticHelpContext = 14;

BOOL CALLBACK DisableControl(HWND control, LPARAM) {
    EnableWindow(control, FALSE);
    return TRUE;
}

// The reason reads in the normal colour among the disabled controls.
void ShowReason(HWND page) {
    HWND reason = GetDlgItem(page, IDC_PAGE_WITHOUT_LINE);
    EnableWindow(reason, TRUE);
    ShowWindow(reason, SW_SHOW);
}

// Help as on line; every other notification is let through (leaving the page, apply, cancel).
INT_PTR AnswerNotification(HWND page, LPARAM lParam, int helpContext) {
    if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_HELP) OpenPageHelp(page, helpContext);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

// A page whose every control needs the line: all of them disabled, the reason shown.
INT_PTR PageWithoutLine(HWND page, UINT message, LPARAM lParam, int helpContext) {
    switch (message) {
    case WM_INITDIALOG:
        EnumChildWindows(page, DisableControl, 0);
        ShowReason(page);
        return TRUE;
    case WM_NOTIFY: return AnswerNotification(page, lParam, helpContext);
    case WM_COMMAND:
    case WM_HELP: return TRUE;
    default: return FALSE;
    }
}

// The live values have nothing to show without a transmitter.
void InitDeskDiagnosticPage(HWND page) {
    const int liveIds[] = {IDC_DIAG_PROCESS_VALUE, IDC_DIAG_UNIT,          IDC_DIAG_ALARM,
                           IDC_DIAG_STATUS_LIST,   IDC_DIAG_SERIAL_NUMBER, IDC_DIAG_FIRMWARE};
    for (int id : liveIds) {
        SetDlgItemTextW(page, id, L"");
        EnableWindow(GetDlgItem(page, id), FALSE);
    }
    ShowReason(page);
    SetOffsetRange(page);
    SetOffsetEdit(page, CurrentVisit()->configSnapshot.indicationOffset);
}

// The offset as typed or stepped: the same reading as on line (a text that is no 16-bit number
// changes nothing), into the values the apply writes.
void TakeTypedOffset(HWND page) {
    int16_t value = 0;
    if (SpinPositionBeingSet() || !ParseOffsetText(OffsetEditText(page).c_str(), &value)) return;
    SheetVisit& visit = *CurrentVisit();
    visit.configSnapshot.indicationOffset = value;
    NoteFieldChange(page, visit.configSnapshot.indicationOffset, visit.lastKnown.indicationOffset);
}

}  // namespace

INT_PTR CALLBACK DeskCommunicationPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return PageWithoutLine(page, message, lParam, kCommunicationHelpContext);
}

INT_PTR CALLBACK DeskCalibrationPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return PageWithoutLine(page, message, lParam, kCalibrationHelpContext);
}

INT_PTR CALLBACK DeskDiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitDeskDiagnosticPage(page); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DIAG_OFFSET) TakeTypedOffset(page);
        return TRUE;
    case WM_NOTIFY:
        // Another input type or unit chosen meanwhile: the spin steps within its sensor's limits.
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) SetOffsetRange(page);
        return AnswerNotification(page, lParam, kDiagnosticHelpContext);
    case WM_HELP: return TRUE;
    default: return FALSE;
    }
}
