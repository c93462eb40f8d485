// The launcher's copy of the runner, the centring over its main window and the About box procedure.
#include "launcher_dialogs.h"
#include "ui_text.h"

HINSTANCE launcherInstance = nullptr;
HWND launcherWindow = nullptr;

INT_PTR RunDialog(LPCSTR templateName, HWND owner, DLGPROC procedure) {
    return RunUnicodeDialog(launcherInstance, templateName, owner, procedure);
}

void CenterDialog(HWND dialog) {
    RECT dialogRect;
    RECT clientRect;
    GetWindowRect(dialog, &dialogRect);
    GetClientRect(launcherWindow, &clientRect);
    POINT centre = {clientRect.right / 2, clientRect.bottom / 2};
    ClientToScreen(launcherWindow, &centre);
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    MoveWindow(dialog, centre.x - width / 2, centre.y - height / 2, width, height, FALSE);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: CenterDialog(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}
