// RunDialog and CenterDialog, used by every dialog of the configurator.
#include "shell/dialog_centring.h"
#include "shell/shell_state.h"
#include "ui_text.h"

INT_PTR RunDialog(LPCSTR templateName, HWND owner, DLGPROC procedure) {
    return RunUnicodeDialog(programInstance, templateName, owner, procedure);
}

void CenterDialog(HWND dialog) {
    RECT dialogRect;
    RECT clientRect;
    GetWindowRect(dialog, &dialogRect);
    GetClientRect(mainWindow, &clientRect);
    POINT centre = {clientRect.right / 2, clientRect.bottom / 2};
    ClientToScreen(mainWindow, &centre);
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    const DialogOrigin origin = CentredOrigin(centre.x, centre.y, width, height);
    MoveWindow(dialog, origin.left, origin.top, width, height, FALSE);
}
