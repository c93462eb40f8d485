// Reading the transmitter's configuration for a command that needs it, or taking what the sheet holds.
#include "shell/transmitter_configuration.h"

#include <cstdio>

#include "comm_settings.h"
#include "config_snapshot.h"
#include "sheet/config_sheet.h"
#include "sheet/transmitter_action.h"
#include "transactions.h"
#include "ui_text.h"

bool HoldTransmitterConfiguration(HWND owner) {
    if (configSheetWindow != NULL && readConfig.serialNumber != 0) return true;
    uint16_t block[kConfigBlockWords] = {};
    LinkError result = kLinkTimeout;
    {
        TransmitterAction action;
        if (action.Refused()) return false;  // another action talks to the transmitter: the click is dropped
        result = ReadConfigBlock(block);
    }
    if (result != kLinkOk) {
        char message[256];
        std::snprintf(message, sizeof message,
                      "Erro na leitura da configuração (%s)!\n\nExecute a Busca Automática do Orvi!",
                      LinkErrorText(result));
        ShowMessage(owner, message, "Atenção", MB_ICONWARNING | MB_OK);
        return false;
    }
    DecodeConfigBlock(block);
    return true;
}

const char* LineDescriptionText() {
    static char text[64];
    std::snprintf(text, sizeof text, "endereço %d, %d bit/s, %s", commSettings.deviceAddress,
                  static_cast<int>(commSettings.baudRate), commSettings.portName);
    return text;
}
