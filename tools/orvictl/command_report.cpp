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
    std::vector<double> measured;
    std::string trendPath;
    std::string outPath;
    double tolerance = 0.25;
};

int ParseOptions(const Arguments& arguments, ReportOptions* options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool known =
            option == "--measured" || option == "--trend" || option == "--out" || option == "--tolerance";
        if (!known || i + 1 >= arguments.size())
            return UsageError("report", known ? option + " precisa de um valor"
                                              : "argumento inesperado: " + ArgumentText(option.c_str()));
        const std::string& value = arguments[++i];
        if (option == "--measured" && !ParseMeasured(value, &options->measured))
            return UsageError("report", "--measured espera cinco correntes em mA (0 a 30), por exemplo 4,8,12,16,20");
        if (option == "--tolerance" && !ParseTolerance(value, &options->tolerance))
            return UsageError("report", "--tolerance espera uma porcentagem do span, por exemplo 0.25");
        if (option == "--trend") options->trendPath = value;
        if (option == "--out") options->outPath = value;
    }
    return kExitOk;
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

}  // namespace

int RunReport(const GlobalOptions& globals, const Arguments& arguments) {
    ReportOptions options;
    int code = ParseOptions(arguments, &options);
    if (code != kExitOk) return code;

    CommissioningReport report;
    report.trendHint = "use --trend com um CSV de monitor";
    if (!options.trendPath.empty()) {
        std::string text, problem;
        bool missing = false;
        if (!ReadWholeFile(options.trendPath, &text, &missing) || !ReadTrendCsv(text, 0, &report.trend, &problem)) {
            Complain(Format("a tendência %s não pôde ser lida: %s", ArgumentText(options.trendPath.c_str()).c_str(),
                            missing           ? "o arquivo não existe"
                            : problem.empty() ? "erro de leitura"
                                              : problem.c_str()));
            return kExitFile;
        }
        report.hasTrend = true;
    }

    code = OpenLine(ResolveLineTarget(globals));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    if (code != kExitOk) {
        CloseLine();
        return code;
    }
    DecodeConfigBlock(words);
    const ConfigSnapshot& config = configSnapshot;
    report.trims = ReadReportTrims(config.outputType);
    report.port = LinePortName();
    report.address = commSettings.deviceAddress;
    report.rate = commSettings.baudRate;
    CloseLine();

    report.serial = SerialNumberText(config.serialNumber);
    FillTransmitterReport(config, JournalOf(report.serial), options.measured, options.tolerance, &report);

    const std::string out = options.outPath.empty() ? "relatorio-" + report.serial + ".html" : options.outPath;
    std::string problem;
    if (!ReplaceWholeFile(out, CommissioningReportHtml(report), &problem)) {
        Complain(Format("não foi possível gravar o relatório em %s: %s", ArgumentText(out.c_str()).c_str(),
                        problem.c_str()));
        return kExitFile;
    }
    WriteOut(Format("relatório gravado em %s\n", ArgumentText(out.c_str()).c_str()));
    if (!options.measured.empty())
        WriteOut(LoopCheckPassed(report.loop) ? "verificação da malha: APROVADA\n"
                                              : "verificação da malha: REPROVADA\n");
    return kExitOk;
}
