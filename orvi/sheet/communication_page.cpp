// The Communication page's procedure, for the sheet page and the stand-alone search dialog alike.
#include "communication_page.h"
#include "page_help.h"
#include <commctrl.h>
#include "comm_settings.h"
#include "communication_page_actions.h"
#include "communication_address.h"
#include "communication_page_controls.h"
#include "config_sheet.h"
#include "resource.h"
#include "serial_port.h"
#include "comm_settings_save.h"
#include "sheet_host.h"
#include "sheet_visit.h"
#include "transmitter_action.h"
#include "ui_text.h"

namespace {

const DWORD kCommunicationHelpContext = 7;

// The clicks that the link dispatches during a transaction must not start a second action (or
// close the dialog) in the middle of the first one, whichever page or dialog that one belongs to.
void RunAction(HWND page, void (*run)(HWND)) {
    TransmitterAction action;
    if (!action.Refused()) run(page);
}

void InitCommunicationPage(HWND page) {
    if (CurrentVisit()->standAloneMode) {
        // Alone on screen (the search mode, its owner hidden): a taskbar button of its own.
        HWND owner = GetWindow(page, GW_OWNER);
        if (owner != NULL && !IsWindowVisible(owner))
            SetWindowLongPtrA(page, GWL_EXSTYLE, GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_APPWINDOW);
        HWND close = GetDlgItem(page, IDC_COMM_CLOSE);
        ShowWindow(close, SW_SHOW);
        EnableWindow(close, TRUE);
    }
    FillCommunicationPage(page);
}

void CloseCommunicationDialog(HWND page) {
    // Inside the sheet there is no dialog of its own to end: the sheet closes its pages.
    if (!CurrentVisit()->standAloneMode) return;
    ClosePort();
    SaveCommSettingsOrReport(page);
    EndDialog(page, 0);
}

void HandleCommunicationCommand(HWND page, int controlId) {
    if (TransmitterActionRunning()) return;
    switch (controlId) {
    case IDC_COMM_CONNECT: RunAction(page, ConnectHost); break;
    case IDC_COMM_READ: RunAction(page, ReadNetworkTransmitter); break;
    case IDC_COMM_MODIFY: RunAction(page, ModifyNetworkSettings); break;
    case IDC_COMM_SEARCH: RunAction(page, SearchTransmitter); break;
    case IDC_COMM_CLOSE:
    case IDCANCEL: CloseCommunicationDialog(page); break;
    default: break;
    }
}

void HandleCommunicationNotification(HWND page, UINT code) {
    switch (code) {
    case PSN_HELP: OpenPageHelp(page, kCommunicationHelpContext); break;
    case PSN_KILLACTIVE: {
        char text[16] = "";
        ReadNetworkAddressText(page, text, sizeof text);
        if (NetworkFieldsDiffer(text, ReadNetworkBaud(page), commSettings.deviceAddress, commSettings.baudRate))
            ResetNetworkFields(page);
        break;
    }
    default: break;  // activation, apply, reset, query-cancel: every action has taken effect already
    }
}

}  // namespace

INT_PTR RunCommunicationDialog(const SheetHost& host, HWND owner) {
    SheetVisit visit(host, owner, nullptr, true);
    return RunUnicodeDialog(host.Resources(), MAKEINTRESOURCEA(IDD_COMMUNICATION_PAGE), owner, CommunicationPageProc);
}

INT_PTR CALLBACK CommunicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitCommunicationPage(page); return TRUE;
    case WM_COMMAND: HandleCommunicationCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (RefuseWhileActionRuns(page, code)) return TRUE;
        HandleCommunicationNotification(page, code);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_HELP: return TRUE;  // F1 on a control: handled, nothing shown
    default: return FALSE;
    }
}
