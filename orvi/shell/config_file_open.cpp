// "Abrir configuração de arquivo...": a file's values on the pages as edits, written by OK or Apply.
#include <string>
#include <vector>

#include "config_ini.h"
#include "config_snapshot.h"
#include "file_not_taken.h"
#include "file_text.h"
#include "requested_values.h"
#include "shell/file_dialogs.h"
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
const wchar_t kFilter[] = L"Configuração do Orvi (*.ini)\0*.ini\0Todos os arquivos (*.*)\0*.*\0";

// why comes from the records, in UTF-8.
void Refuse(HWND owner, const std::string& why) {
    const std::string message = Utf8ToCp1252(why) + "\n\nNada foi mudado nas páginas.";
    ShowMessage(owner, message.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

// The file's requests, or false after saying why (the same checks and texts as orvictl load).
bool ReadRequests(HWND owner, const std::wstring& path, std::vector<RequestedValue>* requests, FileExtras* extras) {
    const std::string name = Utf8FromWide(path);
    std::string bytes, text, problem;
    DWORD error = 0;
    if (!ReadWholeWideFile(path, &bytes, &error)) {
        ShowFileMessage(owner, kCaption, "Não foi possível ler o arquivo\n", path + L"\n(" + SystemReason(error) + L")",
                        "\n\nNada foi mudado nas páginas.");
        return false;
    }
    if (!DecodeFileText(bytes, &text, &problem)) {
        Refuse(owner, name + ": " + problem);
        return false;
    }
    std::vector<std::string> problems;
    if (!ParseConfigIni(text, requests, &problems, extras)) {
        std::string all = name + ":";
        for (const std::string& each : problems) all += "\n" + each;
        Refuse(owner, all);
        return false;
    }
    return true;
}
}  // namespace

void OpenConfigurationFile(HWND owner) {
    const std::wstring path = AskFileToOpen(owner, kCaption, kFilter);
    if (path.empty()) return;
    std::vector<RequestedValue> requests;
    FileExtras extras;
    if (!ReadRequests(owner, path, &requests, &extras)) return;
    // The checks compare with what the transmitter holds: a value it holds already is never refused.
    ConfigSnapshot current = {};
    {
        TransmitterAction action;  // let go before the sheet opens: its first page reads the transmitter
        if (action.Refused() || !HeldTransmitterConfiguration(owner, "Nada foi mudado nas páginas.", &current)) return;
    }
    SheetFile file;
    file.values = ApplyRequests(current, requests);
    std::string message;
    if (CheckRequestedChanges(current, file.values, requests, &message) != ChangeCheck::Accepted) {
        Refuse(owner, message);
        return;
    }
    const std::string notTaken = FileNotTakenText(extras, RequestsNotWritten(requests, current, file.values));
    if (!notTaken.empty()) ShowMessage(owner, Utf8ToCp1252(notTaken).c_str(), kCaption, MB_OK | MB_ICONWARNING);
    // The writes the apply makes carry the measuring point the file names, while the file is on the sheet.
    file.tag = extras.tag;
    if (!TakeFileOnSheet(file)) OpenConfigSheet(ProgramSheetHost(), mainWindow != NULL ? mainWindow : owner, &file);
}
