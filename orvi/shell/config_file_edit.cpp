// "Editar arquivo de configuração...": a configuration file on the sheet, without a transmitter.
#include <string>
#include <vector>

#include "parameter_keys.h"
#include "requested_values.h"
#include "sheet/config_sheet.h"
#include "sheet/sheet_visit.h"
#include "shell/config_file_read.h"
#include "shell/desk_file_commands.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "ui_text.h"

namespace {
const char kCaption[] = "Editar arquivo de configuração";
const char kNotOpened[] = "O arquivo não foi aberto.";

// Why the pages cannot show the file's values (UTF-8), or empty. They show and write every value, so a
// file must give them all (one that leaves some to the transmitter would come back with values nobody
// chose), and each one the page offers.
std::string WhyNotEditable(const std::vector<RequestedValue>& requests) {
    for (const RequestedValue& request : requests)
        if (!request.refusal.empty()) return request.origin + ": " + request.refusal;
    std::string missing;
    for (const ParameterKey& key : kParameterKeys) {
        bool given = false;
        for (const RequestedValue& request : requests) given = given || request.key == &key;
        if (!given) missing += (missing.empty() ? "" : ", ") + std::string(key.name);
    }
    if (missing.empty()) return "";
    return "faltam valores: " + missing +
           "\nAs páginas editam só um arquivo com todos os valores; acrescente os que faltam.";
}
}  // namespace

void EditConfigurationFile(HWND owner) {
    std::wstring path;
    ConfigFileRead read;
    if (!ChooseConfigFile(owner, kCaption, kNotOpened, &path, &read)) return;
    const std::string why = WhyNotEditable(read.requests);
    if (!why.empty()) {
        RefuseConfigFile(owner, kCaption, Utf8FromWide(path) + ": " + why, kNotOpened);
        return;
    }
    DeskFile desk;
    desk.path = path;
    desk.extras = read.extras;
    desk.values = ApplyRequests(ConfigSnapshot{}, read.requests);  // every value given: nothing rescaled
    OpenDeskFileSheet(ProgramSheetHost(), mainWindow != NULL ? mainWindow : owner, desk);
}
