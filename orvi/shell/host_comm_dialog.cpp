// The host communication dialog "Comunic": the PC's port, baud rate and the device address.
#include <cstdio>
#include <cstring>

#include "link/comm_settings.h"
#include "link/serial_port.h"
#include "model/communication_address.h"
#include "resource.h"
#include "sheet/port_list.h"
#include "model/rate_buttons.h"
#include "shell/shell_dialogs.h"
#include "sheet/comm_settings_save.h"
#include "shell/shell_messages.h"
#include "shell/shell_state.h"
#include "sheet/sheet_visit.h"
#include "ui_text.h"

namespace {

void FillHostCommDialog(HWND dialog) {
    CenterDialog(dialog);
    // An unknown rate maps to no button, so all five stay unchecked.
    CheckRadioButton(dialog, kFirstRateButton, kLastRateButton, RateButtonForBaud(commSettings.baudRate));

    char text[16];
    FillPortList(dialog, IDC_HOST_PORT);
    SelectComboEntry(dialog, IDC_HOST_PORT, commSettings.portName);

    // Only what register 44 can hold is offered; a stored address outside that range is still shown,
    // so that the user sees what the host uses, and OK refuses it until another is chosen.
    for (int address = kLowestNetworkAddress; address <= kHighestNetworkAddress; ++address) {
        std::snprintf(text, sizeof text, "%d", address);
        AddComboEntry(dialog, IDC_HOST_ADDRESS, text);
    }
    std::snprintf(text, sizeof text, "%d", commSettings.deviceAddress);
    if (SelectComboEntry(dialog, IDC_HOST_ADDRESS, text) == CB_ERR) SetItemText(dialog, IDC_HOST_ADDRESS, text);
}

// Takes port and rate, re-opens the port and, only when it opened, the address; true when done.
// An address no request can reach is refused first, and then nothing is taken or saved.
bool ApplyHostCommDialog(HWND dialog) {
    char addressText[16] = "";
    GetDlgItemTextA(dialog, IDC_HOST_ADDRESS, addressText, sizeof addressText);
    uint8_t address = 0;
    if (!ParseNetworkAddress(addressText, &address)) {
        ShowMessage(dialog, kInvalidNetworkAddressMessage, "Atenção", MB_OK | MB_ICONWARNING);
        return false;
    }

    const std::string port = ItemText(dialog, IDC_HOST_PORT).substr(0, sizeof commSettings.portName - 1);
    if (port != commSettings.portName) std::strcpy(commSettings.portName, port.c_str());

    commSettings.baudRate =
        BaudOfCheckedButton([dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; });

    ClosePort();
    const bool opened = OpenPort() != 0;
    LineSettingsChanged();
    if (!opened) {
        ReportPortFailure(dialog);
        return false;
    }
    commSettings.deviceAddress = address;
    SaveCommSettingsOrReport(dialog);
    return true;
}

}  // namespace

INT_PTR CALLBACK HostCommDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: FillHostCommDialog(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (ApplyHostCommDialog(dialog)) EndDialog(dialog, 0);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}
