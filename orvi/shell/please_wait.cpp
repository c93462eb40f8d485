// Procedure of the please-wait window "CxDlgComm", which the Input/Output page shows while it reads.
#include "shell/shell_state.h"

INT_PTR CALLBACK PleaseWaitProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CenterDialog(dialog);
    return TRUE;
}
