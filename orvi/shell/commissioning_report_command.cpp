// "Relatório de comissionamento...": the commissioning report of the transmitter on the line, as orvictl's
// report makes it, saved where the user says and opened in the browser.
#include <windows.h>

#include <string>
#include <vector>

#include "comm_settings.h"
#include "commissioning_report.h"
#include "journal.h"
#include "live_diagnostic_texts.h"
#include "records_platform.h"
#include "sheet/transmitter_action.h"
#include "browser_open.h"
#include "shell/file_dialogs.h"
#include "shell/records_commands.h"
#include "shell/records_transmitter.h"
#include "text_convert.h"
#include "transmitter_report.h"
#include "ui_text.h"

namespace {

const char kCaption[] = "Relatório de comissionamento";
// The loop check's tolerance, as orvictl's report takes it by default (% of the span).
const double kTolerancePercent = 0.25;

// The journal's lines of this serial number, in journal order. A journal that cannot be read leaves
// the settings "as found" equal to those "as left", which the user hears before choosing a file.
std::vector<JournalEntry> JournalOf(HWND owner, const std::string& serial) {
    JournalFilter filter;
    filter.serial = serial;
    std::vector<JournalEntry> entries;
    int damaged = 0;
    std::string problem;
    if (!ReadJournalEntries(filter, &entries, &damaged, &problem))
        ShowFileMessage(owner, kCaption, "O diário de alterações não pôde ser lido:\n", WideFromUtf8(JournalPath()),
                        "\n\nO relatório mostra a configuração encontrada igual à atual.");
    return entries;
}

// The configuration, the trims and the line, read in one action; false when the transmitter did not answer.
bool ReadReport(HWND owner, CommissioningReport* report, ConfigSnapshot* config) {
    TransmitterAction action;
    if (action.Refused()) return false;
    if (!ReadTransmitterConfiguration(owner, "Nenhum relatório foi gravado.", config)) return false;
    report->trims = ReadReportTrims(config->outputType);
    report->port = Cp1252ToUtf8(commSettings.portName);
    report->address = commSettings.deviceAddress;
    report->rate = commSettings.baudRate;
    return true;
}

}  // namespace

void MakeCommissioningReport(HWND owner) {
    CommissioningReport report;
    ConfigSnapshot config = {};
    if (!ReadReport(owner, &report, &config)) return;
    const std::string serial = SerialNumberText(config.serialNumber);
    // No currents measured here: the loop check's measured column stays blank to be filled in by hand.
    FillTransmitterReport(config, JournalOf(owner, serial), {}, kTolerancePercent, &report);

    const std::wstring filter = WideFrom1252("Página HTML (*.html)") + L'\0' + L"*.html;*.htm" + L'\0' +
                                WideFrom1252("Todos os arquivos (*.*)") + L'\0' + L"*.*" + L'\0';
    const std::wstring path = AskFileToSave(owner, "Salvar relatório de comissionamento", filter.c_str(), L"html",
                                            WideFrom1252(("relatorio-" + serial + ".html").c_str()));
    if (path.empty()) return;
    std::string problem;
    if (!ReplaceWholeFile(Utf8FromWide(path), CommissioningReportHtml(report), &problem)) {
        const std::wstring reason = L"\n(" + WideFromUtf8(problem) + L")";
        ShowFileMessage(owner, kCaption, "Não foi possível gravar o relatório em\n", path + reason, "");
        return;
    }
    if (!IsBrowserPage(path))
        ShowFileMessage(owner, kCaption, "O relatório foi gravado em\n", path,
                        "\n\nmas não foi aberto: só arquivos .htm ou .html vão ao navegador.");
    else if (!OpenInBrowser(owner, path, L""))
        ShowFileMessage(owner, kCaption, "O relatório foi gravado em\n", path,
                        "\n\nmas o navegador não pôde ser aberto.");
}
