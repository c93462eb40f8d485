// "Abrir configuração de arquivo...": a file's values on the pages as edits, written by OK or Apply.
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "file_not_taken.h"
#include "requested_values.h"
#include "shell/config_file_read.h"
#include "shell/records_commands.h"
#include "shell/records_transmitter.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "sheet/config_sheet.h"
#include "sheet/io_page_file_values.h"
#include "sheet/sheet_visit.h"
#include "sheet/transmitter_action.h"
#include "text_convert.h"
#include "ui_text.h"

namespace {
const char kCaption[] = "Abrir configuração de arquivo";
const char kNothingChanged[] = "Nada foi mudado nas páginas.";
}  // namespace

void OpenConfigurationFile(HWND owner) {
    std::wstring path;
    ConfigFileRead read;
    if (!ChooseConfigFile(owner, kCaption, kNothingChanged, &path, &read)) return;
    const std::vector<RequestedValue>& requests = read.requests;
    const FileExtras& extras = read.extras;
    // The checks compare with what the transmitter holds: a value it holds already is never refused.
    ConfigSnapshot current = {};
    {
        TransmitterAction action;  // let go before the sheet opens: its first page reads the transmitter
        if (action.Refused() || !HeldTransmitterConfiguration(owner, kNothingChanged, &current)) return;
    }
    SheetFile file;
    file.values = ApplyRequests(current, requests);
    std::string message;
    if (CheckRequestedChanges(current, file.values, requests, &message) != ChangeCheck::Accepted) {
        RefuseConfigFile(owner, kCaption, message, kNothingChanged);
        return;
    }
    const std::string notTaken = FileNotTakenText(extras, RequestsNotWritten(requests, current, file.values));
    if (!notTaken.empty()) ShowMessage(owner, Utf8ToCp1252(notTaken).c_str(), kCaption, MB_OK | MB_ICONWARNING);
    // The writes the apply makes carry the measuring point the file names, while the file is on the sheet.
    file.tag = extras.tag;
    if (!TakeFileOnSheet(file)) OpenConfigSheet(ProgramSheetHost(), mainWindow != NULL ? mainWindow : owner, &file);
}
