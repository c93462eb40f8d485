// The Input/Output page's procedure: reading the configuration when the sheet opens, and dispatch.
#include "io_page.h"
#include <commctrl.h>
#include "page_help.h"
#include <cstdio>
#include "config_snapshot.h"
#include "io_consistency_checks.h"
#include "io_page_apply.h"
#include "io_page_commands.h"
#include "io_page_desk_file.h"
#include "io_page_file_values.h"
#include "io_page_fill.h"
#include "io_page_message_box.h"
#include "probable_cause_text.h"
#include "resource.h"
#include "sheet_host.h"
#include "sheet_visit.h"
#include "transactions.h"
#include "spin_value.h"
#include "transmitter_action.h"

namespace {

const int kConfigReadAttempts = 20;  // each of them already up to 3 tries
const int kIoPageHelpContext = 5;

BOOL InitIoPage(HWND page) {
    SheetVisit& visit = *CurrentVisit();
    visit.ioPageWindow = page;
    if (visit.onDesk) {
        ShowDeskFile(page);  // nothing to read: the file's values are the page's
        return TRUE;
    }
    HWND pleaseWait = visit.host.ShowPleaseWait(page);
    uint16_t block[kConfigBlockWords] = {};
    LinkError result = kLinkTimeout;
    {
        TransmitterAction action;
        for (int attempt = 0; attempt < kConfigReadAttempts && result != kLinkOk; ++attempt) {
            result = ReadConfigBlock(block);
        }
    }
    if (pleaseWait != NULL) DestroyWindow(pleaseWait);

    if (result != kLinkOk) {
        ForgetTransmitterRead();  // whatever answers later may be another transmitter
        char message[kIoMessageSize];
        std::snprintf(message, sizeof message,
                      "Erro na leitura da configuração (%s)!\n\nExecute a Busca Automática do Orvi!",
                      LinkErrorText(result));
        ioPageMessageBox(page, WithProbableCause(message).c_str(), "Atenção", MB_ICONWARNING | MB_OK);
        // Without a configuration the sheet has nothing to show: it closes as by Cancel once it runs.
        // The sheet mode then ends; the service mode goes back to its main window, whose menu offers
        // the search the message recommends.
        PostMessageA(GetParent(page), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return FALSE;
    }
    visit.DecodeConfigBlock(block);
    FillIoPage(page);
    SendMessageA(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
    ShowWaitingFileValues(page);  // a file opened from the service window
    return TRUE;
}

// The link's wait for the transmitter dispatches mouse messages, so a click on a list, a unit or the
// blocking box can arrive while an apply (or another action) talks to the transmitter. The control
// has already changed by then: it is put back, and the snapshot, which the apply is writing, stays.
bool RefuseChoiceWhileActionRuns(HWND page, int controlId) {
    switch (controlId) {
    case IDC_INPUT_TYPE_LIST:
    case IDC_OUTPUT_TYPE_LIST:
    case IDC_ALARM_FUNCTION_LIST:
    case IDC_UNIT_CELSIUS:
    case IDC_UNIT_FAHRENHEIT:
    case IDC_ALARM_INITIAL_BLOCK: break;
    default: return false;
    }
    if (!TransmitterActionRunning()) return false;
    ShowIoChoices(page);
    return true;
}

LONG_PTR HandleIoPageNotification(HWND page, UINT code) {
    switch (code) {
    case PSN_APPLY: {
        // Refused while another action runs; the sheet then stays open on its page.
        TransmitterAction action;
        return action.Refused() ? PSNRET_INVALID_NOCHANGEPAGE : ApplyIoPage(page);
    }
    case PSN_HELP: OpenPageHelp(page, kIoPageHelpContext); return 0;
    default: return 0;  // leaving the page is always allowed; Cancel writes nothing
    }
}

}  // namespace

INT_PTR CALLBACK IoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return InitIoPage(page);
    case WM_COMMAND:
        if (RefuseChoiceWhileActionRuns(page, LOWORD(wParam))) return TRUE;
        if (!SpinPositionBeingSet()) HandleIoPageCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (RefuseWhileActionRuns(page, code)) return TRUE;
        if (code == UDN_DELTAPOS && TransmitterActionRunning()) {
            // An up-down's step would change its edit, and so the snapshot, under the apply: refused.
            SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        // Set every time: a result left over from an earlier notification would answer this one.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, HandleIoPageNotification(page, code));
        return TRUE;
    }
    case WM_DESTROY:
        // A later re-read must not fill a window that no longer exists.
        if (SheetVisit* visit = CurrentVisit())
            if (visit->ioPageWindow == page) visit->ioPageWindow = NULL;
        return FALSE;
    default: return HandleWaitingFileValues(page, message) ? TRUE : FALSE;
    }
}
