// The Diagnostic page's procedure: fill once, poll while active.
#include "diagnostic_page.h"
#include "page_help.h"
#include <commctrl.h>
#include "config_sheet.h"
#include "live_page_timer.h"
#include "transmitter_action.h"
#include "ui_text.h"

DiagnosticPageMessageBoxFunction diagnosticPageMessageBox = ShowMessage;

namespace {

const int kDiagnosticHelpContext = 14;

void HandleDiagnosticNotification(HWND page, const NMHDR* header) {
    FollowLiveTimer(page, header);
    if (header->code == PSN_SETACTIVE) {
        SetDiagnosticUnitLabel(page);
        RefreshDiagnosticConfiguration(page);
    } else if (header->code == PSN_HELP) {
        OpenPageHelp(page, kDiagnosticHelpContext);
    }
}

}  // namespace

INT_PTR CALLBACK DiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    switch (message) {
    case WM_INITDIALOG: FillDiagnosticPage(page); return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (RefuseWhileActionRuns(page, header->code)) return TRUE;
        HandleDiagnosticNotification(page, header);
        // No objection to leaving the page or to an apply; set every time, so nothing stale answers.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_HELP: return TRUE;
    case WM_TIMER: DiagnosticTick(page); return FALSE;
    default: return FALSE;
    }
}
