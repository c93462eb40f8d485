// "&Conectar", "&Ler", "&Modificar" and "&Procurar" of the Communication page.
#include "communication_page_actions.h"
#include <cstdio>
#include <cstring>
#include "comm_settings.h"
#include "communication_address.h"
#include "communication_line.h"
#include "communication_network_change.h"
#include "communication_page_controls.h"
#include "communication_rates.h"
#include "communication_search.h"
#include "config_snapshot.h"
#include "io_page_fill.h"
#include "probable_cause_text.h"
#include "resource.h"
#include "serial_port.h"
#include "sheet_visit.h"
#include "rate_buttons.h"
#include "comm_settings_save.h"
#include "transactions.h"
#include "ui_text.h"

namespace {

// Disables a button for the life of the action that it started.
class ButtonDisabled {
public:
    ButtonDisabled(HWND page, int id) : button_(GetDlgItem(page, id)) { EnableWindow(button_, FALSE); }
    ~ButtonDisabled() { EnableWindow(button_, TRUE); }
    ButtonDisabled(const ButtonDisabled&) = delete;
    ButtonDisabled& operator=(const ButtonDisabled&) = delete;

private:
    HWND button_;
};

// The typed address, or a message and false when the field holds no address from 1 to 247.
bool TakeNetworkAddress(HWND page, uint8_t* address) {
    char text[16] = "";
    ReadNetworkAddressText(page, text, sizeof text);
    if (ParseNetworkAddress(text, address)) return true;
    ShowCommunicationMessage(page, kInvalidNetworkAddressMessage, "Atenção", MB_OK);
    return false;
}

}  // namespace

void ConnectHost(HWND page) {
    bool opened = false;
    {
        ButtonDisabled busy(page, IDC_COMM_CONNECT);
        const std::string port = ItemText(page, IDC_COMM_PORT).substr(0, sizeof commSettings.portName - 1);
        if (port != commSettings.portName) std::strcpy(commSettings.portName, port.c_str());
        commSettings.baudRate =
            BaudOfCheckedButton([page](int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; });
        ClosePort();
        opened = OpenPort() != 0;
        LineSettingsChanged();
        ShowHostPort(page);  // OpenPort may have fallen back to another port, or to "None"
        if (opened) {
            SaveCommSettingsOrReport(page);
        } else {
            ShowCommunicationMessage(page, "Não foi possível configurar a porta serial!", "Erro", MB_OK);
        }
    }
    // A search needs an open port; once one is open again, searching is offered again.
    EnableWindow(GetDlgItem(page, IDC_COMM_SEARCH), opened ? TRUE : FALSE);
}

void ReadNetworkTransmitter(HWND page) {
    ButtonDisabled busy(page, IDC_COMM_READ);
    uint8_t address = 0;
    if (!TakeNetworkAddress(page, &address)) return;
    // What the sheet read and the file opened for it go: the pages get this read's configuration, or
    // none when it fails.
    LineSettingsChanged();
    commSettings.deviceAddress = address;
    const int32_t rate = ReadNetworkBaud(page);
    if (IsNetworkRate(rate) && rate != commSettings.baudRate) {
        commSettings.baudRate = rate;
        ShowHostRate(page, rate);
        ClosePort();
        OpenPort();
    }

    uint16_t block[kConfigBlockWords] = {};
    char message[256];
    if (ReadConfigBlock(block) != kLinkOk) {
        // The address and rate tried stay in effect, unsaved.
        std::snprintf(message, sizeof message,
                      "Erro na leitura da configuração do Equipamento de endereço %d e baud rate %d!\n\n"
                      "Execute a Busca Automática do Orvi com o Equipamento ponto a ponto!",
                      commSettings.deviceAddress, static_cast<int>(commSettings.baudRate));
        ShowCommunicationMessage(page, WithProbableCause(message).c_str(), "Atenção", MB_OK);
        return;
    }
    CurrentVisit()->DecodeConfigBlock(block);
    FillIoPage(CurrentVisit()->ioPageWindow);  // nothing to fill in stand-alone use
    SaveCommSettingsOrReport(page);
    ShowTransmitterSettings(page);
    std::snprintf(message, sizeof message, "Configuração do Equipamento de endereço %d lida com sucesso!",
                  commSettings.deviceAddress);
    ShowCommunicationMessage(page, message, "Sucesso", MB_OK);
}

void ModifyNetworkSettings(HWND page) {
    uint8_t address = 0;
    if (!TakeNetworkAddress(page, &address)) return;
    if (ShowCommunicationMessage(page, "Tem certeza que deseja modificar os parâmetros?", "Atenção", MB_YESNO) != IDYES)
        return;
    ButtonDisabled busy(page, IDC_COMM_MODIFY);
    const NetworkChange change =
        ApplyNetworkChange(commSettings, LinkCommunicationLine(), address, ReadNetworkBaud(page));
    // Its writes were journalled under what the sheet read of this transmitter; after them that
    // read may no longer be of the transmitter the host reaches.
    switch (AftermathOf(change.result)) {
    case NetworkChangeAftermath::kLineMoved: LineSettingsChanged(); break;
    case NetworkChangeAftermath::kReadFailed: ForgetTransmitterRead(); break;
    default: break;
    }
    // The host follows only a setting the transmitter answered at; anything else leaves the
    // settings, the file and the shown values as they were.
    const NetworkChangeResult result = change.result;
    const bool hostMoved =
        result == NetworkChangeResult::kConfirmed || result == NetworkChangeResult::kOnlyAddressTaken;
    ShowHostRate(page, commSettings.baudRate);
    if (hostMoved || result == NetworkChangeResult::kNothingToChange) SaveCommSettingsOrReport(page);
    ShowTransmitterSettings(page);
    if (result == NetworkChangeResult::kNothingToChange) return;
    const char* caption = result == NetworkChangeResult::kConfirmed      ? "Sucesso"
                          : result == NetworkChangeResult::kAddressInUse ? "Atenção"
                                                                         : "Erro na Comunicação";
    ShowCommunicationMessage(page, NetworkChangeText(change).c_str(), caption, MB_OK);
}

void SearchTransmitter(HWND page) {
    if (ShowCommunicationMessage(page,
                                 "O Configurador iniciará a busca automática.\n"
                                 "Certifique-se que o Orvi não esteja conectado em uma rede!\nIniciar busca?",
                                 "Atenção", MB_OKCANCEL) != IDOK)
        return;
    ButtonDisabled busy(page, IDC_COMM_SEARCH);
    // Found or not, the search has moved the line through every rate: what answers now may be another transmitter.
    LineSettingsChanged();
    const SearchOutcome outcome = RunAutomaticSearch(commSettings, LinkCommunicationLine());
    if (!outcome.found) {
        ShowCommunicationMessage(page, SearchFailureText(outcome).c_str(), "Erro na Comunicação", MB_OK);
        return;
    }
    ShowHostRate(page, outcome.baudRate);
    SelectNumberEntry(page, IDC_COMM_NETWORK_BAUD, outcome.baudRate);
    SelectNumberEntry(page, IDC_COMM_NETWORK_ADDRESS, outcome.addressRead);
    ShowTransmitterSettings(page);
    ShowCommunicationMessage(page, "Busca automática concluída!", "Sucesso", MB_OK);
}
