// report: the commissioning report of the transmitter on the line, one HTML page, from what it holds,
// the journal, the loop check's measured currents and a monitor CSV.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "comm_settings.h"
#include "commands.h"
#include "commissioning_report.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "file_replace.h"
#include "input_types.h"
#include "journal.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "platform.h"
#include "records_platform.h"
#include "report_options.h"
#include "text_output.h"
#include "transmitter_report.h"
#include "transactions.h"

namespace {
struct ReportOptions {
    LoopReadings readings;
    SigningOptions signing;
    std::string trendPath;
    std::string outPath;
};

int ParseOptions(const Arguments& arguments, ReportOptions* options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        bool taken = false;
        std::string problem;
        if (!TakeSigningOption(arguments, &i, &options->signing, &taken, &problem))
            return UsageError("report", problem);
        if (taken) continue;
        const std::string& option = arguments[i];
        const bool known = option == "--measured" || option == "--as-found" || option == "--trend" || option == "--out";
        if (!known || i + 1 >= arguments.size())
            return UsageError("report", known ? option + " precisa de um valor" : "argumento inesperado: " + option);
        const std::string& value = arguments[++i];
        if (option == "--measured" && !ParseMeasured(value, &options->readings.asLeft))
            return UsageError("report", "--measured espera cinco correntes em mA (0 a 30), por exemplo 4,8,12,16,20");
        if (option == "--as-found" && !ParseMeasured(value, &options->readings.asFound))
            return UsageError("report", "--as-found espera cinco correntes em mA (0 a 30), por exemplo 4,8,12,16,20");
        if (option == "--trend") options->trendPath = value;
        if (option == "--out") options->outPath = value;
    }
    return kExitOk;
}

// A report already at path is what someone signed or will sign: it is replaced only when asked. False
// after a message.
bool MayWriteReport(const std::string& path, bool force) {
    return MayReplaceFile(
        path, force,
        Format("o relatório %s já existe: --force o substitui (ou dê outro nome com --out)", path.c_str()));
}

// The journal's lines of this serial number, in journal order; a journal that cannot be read is said once.
std::vector<JournalEntry> JournalOf(const std::string& serial) {
    JournalFilter filter;
    filter.serial = serial;
    std::vector<JournalEntry> entries;
    int damaged = 0;
    std::string problem;
    if (!ReadJournalEntries(filter, &entries, &damaged, &problem))
        Complain("aviso: o diário não pôde ser lido (" + problem + "); a configuração encontrada é a atual");
    return entries;
}

// The trend's rows of the transmitter read (its address, and its serial number where the file names
// them); a file of other transmitters only is refused as a wrong argument.
int TakeTrendOf(const std::string& text, const std::string& path, int address, const std::string& serial,
                TrendChart* chart) {
    TrendSource source;
    source.address = address;
    source.serial = serial;
    std::string problem;
    const TrendRead read = ReadTransmitterTrend(text, source, chart, &problem);
    if (read == TrendRead::kRead) return kExitOk;
    Complain(Format(read == TrendRead::kNotThisSource ? "a tendência %s não tem linhas deste transmissor: %s"
                                                      : "a tendência %s não pôde ser lida: %s",
                    path.c_str(), problem.c_str()));
    return read == TrendRead::kNotThisSource ? kExitUsage : kExitFile;
}
}  // namespace

int RunReport(LineSession& session, const GlobalOptions& globals, const Arguments& arguments) {
    ReportOptions options;
    int code = ParseOptions(arguments, &options);
    if (code != kExitOk) return code;

    CommissioningReport report;
    report.trendHint = "use --trend com um CSV de monitor";
    report.instrument = options.signing.instrument;
    report.operatorName = options.signing.operatorName;
    // The file is read and checked before the line is asked; its rows are chosen once the transmitter is known.
    std::string trendText;
    if (!options.trendPath.empty()) {
        std::string problem;
        bool missing = false;
        if (!ReadWholeFile(options.trendPath, &trendText, &missing) ||
            ReadTransmitterTrend(trendText, TrendSource(), &report.trend, &problem) != TrendRead::kRead) {
            Complain(Format("a tendência %s não pôde ser lida: %s", options.trendPath.c_str(),
                            missing           ? "o arquivo não existe"
                            : problem.empty() ? "erro de leitura"
                                              : problem.c_str()));
            return kExitFile;
        }
    }

    // A name given is checked before the line is asked; the default one names the serial number read.
    if (!options.outPath.empty() && !MayWriteReport(options.outPath, options.signing.force)) return kExitFile;
    code = session.Open(ResolveLineTarget(globals));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = session.ReadConfiguration(words);
    if (code != kExitOk) {
        session.Close();
        return code;
    }
    const ConfigSnapshot config = session.TakeRead(words);
    report.trims = ReadReportTrims(session.line, config.outputType);
    report.port = session.PortName();
    report.address = session.Settings().deviceAddress;
    report.rate = session.Settings().baudRate;
    session.Close();

    report.serial = SerialNumberText(config.serialNumber);
    if (!options.trendPath.empty()) {
        code = TakeTrendOf(trendText, options.trendPath, report.address, report.serial, &report.trend);
        if (code != kExitOk) return code;
        report.hasTrend = true;
    }
    FillTransmitterReport(config, JournalOf(report.serial), options.readings, options.signing.tolerance, &report);

    const std::string out = options.outPath.empty() ? "relatorio-" + report.serial + ".html" : options.outPath;
    if (options.outPath.empty() && !MayWriteReport(out, options.signing.force)) return kExitFile;
    std::string problem;
    if (!ReplaceWholeFile(out, CommissioningReportHtml(report), &problem)) {
        Complain(Format("não foi possível gravar o relatório em %s: %s", out.c_str(), problem.c_str()));
        return kExitFile;
    }
    WriteOut(Format("relatório gravado em %s\n", out.c_str()));
    if (!options.readings.asFound.empty())
        WriteOut(LoopCheckPassed(report.loopAsFound) ? "malha como encontrada: APROVADA\n"
                                                     : "malha como encontrada: REPROVADA\n");
    if (!options.readings.asLeft.empty())
        WriteOut(LoopCheckPassed(report.loop) ? "verificação da malha: APROVADA\n"
                                              : "verificação da malha: REPROVADA\n");
    if (report.alarm.recorded && !report.alarm.expected.empty())
        WriteOut(report.alarm.trips.empty()       ? "atuação do alarme: o relé não atuou no registro\n"
                 : AlarmTripsPassed(report.alarm) ? "atuação do alarme: APROVADA\n"
                                                  : "atuação do alarme: REPROVADA\n");
    if (report.instrument.calibrationOverdue)
        Complain("aviso: a calibração do instrumento de teste venceu em " + report.instrument.calibrationDue);
    // The loop as left is what the report certifies; as found it may fail, which is why it was adjusted.
    if (!options.readings.asLeft.empty() && !LoopCheckPassed(report.loop)) return kExitLoopFailed;
    return kExitOk;
}
