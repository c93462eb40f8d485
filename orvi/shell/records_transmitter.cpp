// The configuration of the transmitter on the line for the report and the history.
#include "shell/records_transmitter.h"

#include <cstdio>

#include "comm_settings.h"
#include "config_ini.h"
#include "link/line.h"
#include "sheet/probable_cause_text.h"
#include "sheet/sheet_visit.h"
#include "text_convert.h"
#include "shell/shell_state.h"
#include "transactions.h"
#include "ui_text.h"

namespace {

// The block, read behind the please-wait window the Input/Output page shows for the same read.
LinkError ReadBlockWhileShowingWait(HWND owner, uint16_t* block) {
    HWND pleaseWait = ShowPleaseWait(owner);
    // A failure names the cause of what this read hears, not of a fault mended since.
    ConfiguratorLine().evidence.ForgetHeard();
    const LinkError result = ReadConfigBlock(block);
    if (pleaseWait != NULL) DestroyWindow(pleaseWait);
    return result;
}

}  // namespace

bool ReadTransmitterConfiguration(HWND owner, const char* consequence, ConfigSnapshot* config) {
    uint16_t block[kConfigBlockWords] = {};
    const LinkError result = ReadBlockWhileShowingWait(owner, block);
    if (result != kLinkOk) {
        ForgetTransmitterRead();
        char message[512];
        std::snprintf(message, sizeof message, "Erro na leitura da configuração (%s)!\n\n%s", LinkErrorText(result),
                      consequence);
        ShowMessage(owner, WithProbableCause(message).c_str(), "Atenção", MB_OK | MB_ICONWARNING);
        return false;
    }
    *config = DecodeConfiguration(block);
    TakeTransmitterRead(*config);  // an open sheet's writes are journalled against this read from now on
    return true;
}

bool HeldTransmitterConfiguration(HWND owner, const char* consequence, ConfigSnapshot* config) {
    if (const ConfigSnapshot* held = HeldTransmitterRead()) {
        *config = *held;
        return true;
    }
    return ReadTransmitterConfiguration(owner, consequence, config);
}

std::string LineDescriptionText() {
    return DescribeLine(commSettings.deviceAddress, commSettings.baudRate, Cp1252ToUtf8(commSettings.portName));
}
