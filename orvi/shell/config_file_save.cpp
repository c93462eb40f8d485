// "Salvar configuração em arquivo...": the transmitter's configuration in orvictl's file format.
#include <ctime>
#include <string>

#include "config_ini.h"
#include "config_snapshot.h"
#include "live_diagnostic_texts.h"
#include "records_platform.h"
#include "shell/file_dialogs.h"
#include "shell/records_commands.h"
#include "shell/transmitter_configuration.h"
#include "sheet/config_sheet.h"
#include "text_convert.h"
#include "ui_text.h"

namespace {
const char kCaption[] = "Salvar configuração em arquivo";
const wchar_t kFilter[] = L"Configuração do Orvi (*.ini)\0*.ini\0Todos os arquivos (*.*)\0*.*\0";
constexpr int kApplyNowButton = 0x3021;  // the property sheet's Apply button

// Edits on the pages not yet applied: the file gets what the transmitter holds, which the user confirms.
bool SheetHasUnappliedChanges() {
    if (configSheetWindow == NULL) return false;
    HWND apply = GetDlgItem(configSheetWindow, kApplyNowButton);
    return apply != NULL && IsWindowEnabled(apply);
}
}  // namespace

void SaveConfigurationToFile(HWND owner) {
    if (SheetHasUnappliedChanges() &&
        ShowMessage(owner,
                    "As alterações feitas nas páginas ainda não foram aplicadas ao transmissor.\n\n"
                    "Salvar a configuração que o transmissor tem agora, sem essas alterações?",
                    kCaption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    if (!HoldTransmitterConfiguration(owner)) return;
    // Taken now: the dialog's wait may let a page's tick change nothing of it, but the file says what was read.
    const ConfigSnapshot held = readConfig;
    const std::string source = ConfigSourceText(LineDescriptionText(), held, LocalTimeOf(std::time(nullptr)));
    const std::wstring name = WideFrom1252(("orvi-" + SerialNumberText(held.serialNumber) + ".ini").c_str());
    const std::wstring path = AskFileToSave(owner, kFilter, L"ini", name);
    if (path.empty()) return;

    std::string existing;
    DWORD error = 0;
    const std::string tag = ReadWholeWideFile(path, &existing, &error) ? Utf8ToCp1252(TagOfConfigFile(existing)) : "";
    if (!ReplaceWideFile(path, Cp1252ToUtf8(FormatConfigIni(held, source, tag)), &error)) {
        const std::string message = Format("Não foi possível gravar o arquivo\n%s\n\n(erro %lu do Windows)",
                                           FileNameText(path).c_str(), static_cast<unsigned long>(error));
        ShowMessage(owner, message.c_str(), kCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string done = Format("Configuração do transmissor %s salva em\n%s",
                                    SerialNumberText(held.serialNumber).c_str(), FileNameText(path).c_str());
    ShowMessage(owner, done.c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
}
