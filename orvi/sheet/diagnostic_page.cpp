// The Diagnostic page's procedure: fill once, poll while active.
#include "diagnostic_page.h"
#include "page_help.h"
#include <commctrl.h>
#include "config_sheet.h"
#include "live_polling.h"

uint16_t statusBits = 0;
uint16_t shownStatusBits = 0;
bool offsetWriteBusy = false;
DiagnosticPageMessageBoxFunction diagnosticPageMessageBox = MessageBoxA;

namespace {

const int kDiagnosticHelpContext = 14;

void HandleDiagnosticNotification(HWND page, UINT code)
{
    switch (code) {
    case PSN_SETACTIVE:
        SetTimer(page, kLiveTimerId, kLiveTimerPeriodMs, NULL);
        SetDiagnosticUnitLabel(page);
        RefreshDiagnosticConfiguration(page);
        break;
    case PSN_KILLACTIVE:
    case PSN_RESET:
        KillTimer(page, kLiveTimerId);
        break;
    case PSN_HELP:
        OpenPageHelp(page, kDiagnosticHelpContext);
        break;
    default:
        break;  // Apply and the rest: nothing, and no result, so the sheet may always leave the page
    }
}

}  // namespace

INT_PTR CALLBACK DiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    switch (message) {
    case WM_INITDIALOG:
        FillDiagnosticPage(page);
        return TRUE;
    case WM_NOTIFY:
        HandleDiagnosticNotification(page, reinterpret_cast<const NMHDR*>(lParam)->code);
        // Set every time: a result left over from an earlier notification would answer this one.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_HELP:
        return TRUE;
    case WM_TIMER:
        DiagnosticTick(page);
        return FALSE;
    default:
        return FALSE;
    }
}
