// The please-wait window "CxDlgComm", shown while the configuration is read.
#include "shell/shell_state.h"
#include "ui_text.h"

namespace {

// It only centres itself.
INT_PTR CALLBACK PleaseWaitProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CenterDialog(dialog);
    return TRUE;
}

}  // namespace

HWND ShowPleaseWait(HWND owner) {
    HWND pleaseWait = CreateUnicodeDialog(programInstance, "CxDlgComm", owner, PleaseWaitProc);
    if (pleaseWait != NULL) {
        ShowWindow(pleaseWait, SW_SHOW);
        UpdateWindow(pleaseWait);
    }
    return pleaseWait;
}
