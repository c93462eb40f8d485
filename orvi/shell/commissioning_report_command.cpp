// "Relatório de comissionamento...": the commissioning report of the transmitter on the line, as orvictl's
// report makes it, saved where the user says and opened in the browser.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "comm_settings.h"
#include "commissioning_report.h"
#include "journal.h"
#include "live_diagnostic_texts.h"
#include "records_platform.h"
#include "sheet/transmitter_action.h"
#include "shell/browser_open.h"
#include "shell/records_commands.h"
#include "shell/records_transmitter.h"
#include "text_convert.h"
#include "transmitter_report.h"
#include "ui_text.h"

namespace {

const char kCaption[] = "Relatório de comissionamento";
// The loop check's tolerance, as orvictl's report takes it by default (% of the span).
const double kTolerancePercent = 0.25;

// A box whose text is CP1252 around a file name, which may hold any character.
void ShowFileMessage(HWND owner, const char* before, const std::wstring& file, const char* after) {
    const std::wstring text = WideFrom1252(before) + file + WideFrom1252(after);
    MessageBoxW(owner, text.c_str(), WideFrom1252(kCaption).c_str(), MB_OK | MB_ICONWARNING);
}

// The journal's lines of this serial number, in journal order. A journal that cannot be read leaves
// the settings "as found" equal to those "as left", which the user hears before choosing a file.
std::vector<JournalEntry> JournalOf(HWND owner, const std::string& serial) {
    const std::string path = JournalPath();
    std::string text, problem;
    if (path.empty() || !ReadJournalText(path, &text, &problem)) {
        ShowFileMessage(owner, "O diário de alterações não pôde ser lido:\n", WideFromUtf8(path),
                        "\n\nO relatório mostra a configuração encontrada igual à atual.");
        return {};
    }
    JournalFilter filter;
    filter.serial = serial;
    int damaged = 0;
    return SelectJournalEntries(text, filter, &damaged);
}

// The configuration, the trims and the line, read in one action; false when the transmitter did not answer.
bool ReadReport(HWND owner, CommissioningReport* report, ConfigSnapshot* config) {
    TransmitterAction action;
    if (action.Refused()) return false;
    if (!TransmitterConfiguration(owner, "Nenhum relatório foi gravado.", config)) return false;
    report->trims = ReadReportTrims(config->outputType);
    report->port = Cp1252ToUtf8(commSettings.portName);
    report->address = commSettings.deviceAddress;
    report->rate = commSettings.baudRate;
    return true;
}

// The file the user chooses in the standard Save dialog; empty when the user cancels.
std::wstring AskReportFile(HWND owner, const std::string& serial) {
    std::vector<wchar_t> name(32768, L'\0');  // long paths: the dialog may return more than MAX_PATH
    const std::wstring proposed = WideFrom1252(("relatorio-" + serial + ".html").c_str());
    proposed.copy(name.data(), proposed.size());
    const std::wstring filter = WideFrom1252("Página HTML (*.html)") + L'\0' + L"*.html;*.htm" + L'\0' +
                                WideFrom1252("Todos os arquivos (*.*)") + L'\0' + L"*.*" + L'\0';
    const std::wstring title = WideFrom1252("Salvar relatório de comissionamento");
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"html";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetSaveFileNameW(&dialog)) return name.data();
    // Zero: the user cancelled. Anything else is the dialog's own failure.
    if (CommDlgExtendedError() != 0)
        ShowMessage(owner, "A janela para escolher o arquivo não pôde ser aberta.", kCaption, MB_OK | MB_ICONWARNING);
    return std::wstring();
}

// The whole report into the file, replacing what it held; false with the system's reason.
bool WriteReportFile(const std::wstring& path, const std::string& bytes, DWORD* error) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD written = 0;
    *error = ERROR_SUCCESS;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        *error = GetLastError();
    else if (written != bytes.size())
        *error = ERROR_DISK_FULL;  // a short write without a failure
    // Data the system still holds may fail to reach the disk only now.
    if (!CloseHandle(file) && *error == ERROR_SUCCESS) *error = GetLastError();
    const bool ok = *error == ERROR_SUCCESS;
    if (!ok) DeleteFileW(path.c_str());  // no half report left to be taken for a whole one
    return ok;
}

std::wstring SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring reason = text != nullptr ? text : L"";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.'))
        reason.pop_back();
    return reason.empty() ? L"erro " + std::to_wstring(error) : reason;
}

}  // namespace

void MakeCommissioningReport(HWND owner) {
    CommissioningReport report;
    ConfigSnapshot config = {};
    if (!ReadReport(owner, &report, &config)) return;
    const std::string serial = SerialNumberText(config.serialNumber);
    // No currents measured here: the loop check's measured column stays blank to be filled in by hand.
    FillTransmitterReport(config, JournalOf(owner, serial), {}, kTolerancePercent, &report);

    const std::wstring path = AskReportFile(owner, serial);
    if (path.empty()) return;
    DWORD error = ERROR_SUCCESS;
    if (!WriteReportFile(path, CommissioningReportHtml(report), &error)) {
        const std::wstring reason = L"\n(" + SystemReason(error) + L")";
        ShowFileMessage(owner, "Não foi possível gravar o relatório em\n", path + reason, "");
        return;
    }
    if (!OpenInBrowser(owner, path, L""))
        ShowFileMessage(owner, "O relatório foi gravado em\n", path, "\n\nmas o navegador não pôde ser aberto.");
}
