// "Salvar configuração em arquivo...": the transmitter's configuration in orvictl's file format.
#include <ctime>
#include <string>

#include "config_ini.h"
#include "config_snapshot.h"
#include "live_diagnostic_texts.h"
#include "records_platform.h"
#include "sheet/sheet_visit.h"
#include "sheet/transmitter_action.h"
#include "shell/file_dialogs.h"
#include "shell/records_commands.h"
#include "shell/records_transmitter.h"
#include "ui_text.h"

namespace {
const char kCaption[] = "Salvar configuração em arquivo";
constexpr int kApplyNowButton = 0x3021;  // the property sheet's Apply button

// Edits on the pages not yet applied: the file gets what the transmitter holds, which the user confirms.
bool SheetHasUnappliedChanges() {
    HWND sheet = ConfigSheetWindow();
    if (sheet == NULL) return false;
    HWND apply = GetDlgItem(sheet, kApplyNowButton);
    return apply != NULL && IsWindowEnabled(apply);
}

// What the transmitter holds and where it was read; false when it could not be read.
bool ReadHeld(HWND owner, ConfigSnapshot* held, std::string* source) {
    TransmitterAction action;
    if (action.Refused()) return false;  // another action talks to the transmitter: the click is dropped
    if (!ReadTransmitterConfiguration(owner, "Nenhum arquivo foi gravado.", held)) return false;
    *source = ConfigSourceText(LineDescriptionText(), *held, LocalTimeOf(std::time(nullptr)));
    return true;
}
}  // namespace

void SaveConfigurationToFile(HWND owner) {
    if (SheetHasUnappliedChanges() &&
        ShowMessage(owner,
                    "As alterações feitas nas páginas ainda não foram aplicadas ao transmissor.\n\n"
                    "Salvar a configuração que o transmissor tem agora, sem essas alterações?",
                    kCaption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    ConfigSnapshot held = {};
    std::string source;
    if (!ReadHeld(owner, &held, &source)) return;
    const std::string serial = SerialNumberText(held.serialNumber);
    const std::wstring path =
        AskFileToSave(owner, kCaption, kConfigFileFilter, L"ini", WideFrom1252(("orvi-" + serial + ".ini").c_str()));
    if (path.empty()) return;

    // Saving a transmitter again over its file keeps the measuring point the file names.
    std::string existing;
    DWORD error = 0;
    const std::string tag = ReadWholeWideFile(path, &existing, &error) ? TagOfConfigFile(existing) : "";
    std::string problem;
    if (!ReplaceWholeFile(Utf8FromWide(path), FormatConfigIni(held, source, tag), &problem)) {
        ShowFileMessage(owner, kCaption, "Não foi possível gravar o arquivo\n",
                        path + L"\n(" + WideFromUtf8(problem) + L")", "");
        return;
    }
    const std::wstring done = WideFrom1252(("Configuração do transmissor " + serial + " salva em\n").c_str()) + path;
    MessageBoxW(owner, done.c_str(), WideFrom1252(kCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}
