// Filling and reading the Communication page's controls from and into CommSettings.
#include "communication_page_controls.h"
#include <cstdio>
#include "comm_settings.h"
#include "communication_address.h"
#include "communication_rates.h"
#include "resource.h"
#include "port_list.h"
#include "rate_buttons.h"
#include "ui_text.h"

CommunicationPageMessageBoxFunction communicationPageMessageBox = ShowMessage;

namespace {

void AddEntry(HWND page, int listId, const char* text) { AddComboEntry(page, listId, text); }

void AddNumberEntry(HWND page, int listId, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    AddEntry(page, listId, text);
}

}  // namespace

void ShowHostRate(HWND page, int32_t baudRate) {
    CheckRadioButton(page, kFirstRateButton, kLastRateButton, RateButtonForBaud(baudRate));
}

void ShowHostPort(HWND page) { SelectExactEntry(page, IDC_COMM_PORT, commSettings.portName); }

void ShowTransmitterSettings(HWND page) {
    SetDlgItemInt(page, IDC_COMM_DEVICE_BAUD, static_cast<UINT>(commSettings.baudRate), FALSE);
    SetDlgItemInt(page, IDC_COMM_DEVICE_ADDRESS, commSettings.deviceAddress, FALSE);
}

void SelectExactEntry(HWND page, int listId, const char* text) {
    // CB_SELECTSTRING would also take a longer entry that merely starts with the text.
    const LRESULT position = FindComboEntry(page, listId, text);
    if (position != CB_ERR) {
        SendDlgItemMessageA(page, listId, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        return;
    }
    // A value the list does not offer (an address above 247, say) is still shown where the field
    // can be typed in, so the user sees what the transmitter or the settings hold.
    SendDlgItemMessageA(page, listId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetItemText(page, listId, text);
}

void SelectNumberEntry(HWND page, int listId, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    SelectExactEntry(page, listId, text);
}

void ResetNetworkFields(HWND page) {
    SelectNumberEntry(page, IDC_COMM_NETWORK_BAUD, commSettings.baudRate);
    SelectNumberEntry(page, IDC_COMM_NETWORK_ADDRESS, commSettings.deviceAddress);
}

void FillCommunicationPage(HWND page) {
    ShowHostRate(page, commSettings.baudRate);

    FillPortList(page, IDC_COMM_PORT);
    ShowHostPort(page);

    for (int32_t rate : kNetworkRates) AddNumberEntry(page, IDC_COMM_NETWORK_BAUD, rate);
    for (int address = kLowestNetworkAddress; address <= kHighestNetworkAddress; ++address)
        AddNumberEntry(page, IDC_COMM_NETWORK_ADDRESS, address);
    ResetNetworkFields(page);
    ShowTransmitterSettings(page);
}

void ReadNetworkAddressText(HWND page, char* text, int size) {
    GetDlgItemTextA(page, IDC_COMM_NETWORK_ADDRESS, text, size);
}

int32_t ReadNetworkBaud(HWND page) {
    BOOL read = FALSE;
    const UINT rate = GetDlgItemInt(page, IDC_COMM_NETWORK_BAUD, &read, FALSE);
    return read ? static_cast<int32_t>(rate) : 0;
}

int ShowCommunicationMessage(HWND page, const char* text, const char* caption, UINT buttons) {
    return communicationPageMessageBox(page, text, caption, MB_ICONWARNING | buttons);
}
