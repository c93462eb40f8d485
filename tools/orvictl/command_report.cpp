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
#include "live_calibration.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "platform.h"
#include "records_platform.h"
#include "report_options.h"
#include "text_output.h"
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

// ZERO and SPAN of the output type's calibration pair; empty when the type has none or a read fails.
std::vector<std::pair<std::string, std::string>> ReadTrims(int outputType) {
    std::vector<std::pair<std::string, std::string>> trims;
    const CalibrationPair pair = CalibrationPairFor(outputType);
    if (!pair.zero || !pair.span) return trims;
    const char* range = outputType == 14 ? " (4 a 20 mA)" : " (0 a 20 mA)";
    const CalibrationValueSlot* slots[] = {pair.zero, pair.span};
    const char* names[] = {"ZERO", "SPAN"};
    for (int i = 0; i < 2; ++i) {
        uint16_t word = 0;
        if (ReadPrivate(slots[i]->address, &word) != kLinkOk) return {};
        trims.push_back({std::string(names[i]) + range, std::to_string(static_cast<int16_t>(word))});
    }
    return trims;
}

// The journal's lines of this serial number, in journal order; a journal that cannot be read is said once.
std::vector<JournalEntry> JournalOf(const std::string& serial) {
    std::string text, problem;
    if (!ReadJournalText(JournalPath(), &text, &problem)) {
        Complain("aviso: o diário não pôde ser lido (" + problem + "); a configuração encontrada é a atual");
        return {};
    }
    JournalFilter filter;
    filter.serial = serial;
    int damaged = 0;
    return SelectJournalEntries(text, filter, &damaged);
}

std::vector<ReportSetting> Settings(const std::vector<JournalEntry>& journal) {
    const std::map<std::string, int32_t> found = ValuesBeforeFirstWrite(journal);
    std::vector<ReportSetting> settings;
    for (const ParameterKey& key : kParameterKeys) {
        ConfigSnapshot before = configSnapshot;
        const auto value = found.find(key.name);
        if (value != found.end()) key.put(before, value->second);
        settings.push_back({Cp1252ToUtf8(key.label), Cp1252ToUtf8(DescribeParameter(key, before)),
                            Cp1252ToUtf8(DescribeParameter(key, configSnapshot))});
    }
    return settings;
}

std::string IssuedText() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    char text[40];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M (UTC%z)", &local);
    return text;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file) ok = std::fclose(file) == 0 && ok;
    return ok;
}
}  // namespace

int RunReport(const GlobalOptions& globals, const Arguments& arguments) {
    ReportOptions options;
    int code = ParseOptions(arguments, &options);
    if (code != kExitOk) return code;

    CommissioningReport report;
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
    report.trims = ReadTrims(config.outputType);
    report.port = LinePortName();
    report.address = commSettings.deviceAddress;
    report.rate = commSettings.baudRate;
    CloseLine();

    report.serial = SerialNumberText(config.serialNumber);
    report.firmware = FirmwareText(config.firmwareVersion);
    report.inputType = Cp1252ToUtf8(InputTypeText(config.inputType, config.unit));
    const std::vector<JournalEntry> journal = JournalOf(report.serial);
    report.journalWrites = static_cast<int>(journal.size());
    for (const JournalEntry& entry : journal)
        if (!entry.tag.empty()) report.tag = entry.tag;
    report.settings = Settings(journal);

    const double scale = IsTenthsInput(config.inputType) ? 10.0 : 1.0;
    report.valueDecimals = scale > 1 ? 1 : 0;
    report.rangeLow = config.lowerLimit / scale;
    report.rangeHigh = config.upperLimit / scale;
    report.unit = Cp1252ToUtf8(UnitLabelText(config.inputType, config.unit));
    report.outputType = config.outputType;
    report.tolerancePercent = options.tolerance;
    report.loop = LoopCheck(config.outputType, options.measured, options.tolerance);
    report.trend.rangeLow = report.rangeLow;
    report.trend.rangeHigh = report.rangeHigh;
    if (report.trend.unit.empty()) report.trend.unit = report.unit;
    report.issued = IssuedText();
    report.user = CurrentUserName();
    report.machine = MachineName();

    const std::string out = options.outPath.empty() ? "relatorio-" + report.serial + ".html" : options.outPath;
    if (!WriteFile(out, CommissioningReportHtml(report))) {
        Complain(Format("não foi possível gravar o relatório em %s", ArgumentText(out.c_str()).c_str()));
        return kExitFile;
    }
    WriteOut(Format("relatório gravado em %s\n", ArgumentText(out.c_str()).c_str()));
    if (!options.measured.empty())
        WriteOut(LoopCheckPassed(report.loop) ? "verificação da malha: APROVADA\n"
                                              : "verificação da malha: REPROVADA\n");
    return kExitOk;
}
