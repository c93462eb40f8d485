// scan: every address at every rate swept with a short wait, each answer confirmed by the normal read,
// and what each transmitter found says of itself.
#include <cmath>
#include <functional>

#include "comm_settings.h"
#include "commands.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "json_layout.h"
#include "line_session.h"
#include "line_sweep.h"
#include "link_platform.h"
#include "live_diagnostic_texts.h"
#include "monitor_csv.h"
#include "network_port.h"
#include "parallel_lines.h"
#include "parameter_keys.h"
#include "platform.h"
#include "probe.h"
#include "serial_port.h"
#include "show_format.h"
#include "text_output.h"
#include "transactions.h"

namespace {
enum class ScanOutput { kTable, kJson, kCsv };

struct ScanOptions {
    int first = 1;
    int last = 247;
    std::vector<int32_t> rates;
    long answerMs = kSweepAnswerMs;
    long timeoutMs = 0;  // 0: the reply's line time plus answerMs
    long expect = 0;     // 0: the whole range
    ScanOutput output = ScanOutput::kTable;
    std::vector<std::string> ports;  // several --port: the lines swept at once (none: the global port)
};

// What one address at one rate turned out to be.
enum class Finding { kConfirmed, kDuplicate, kUnconfirmed };

struct Found {
    int address;
    int32_t rate;
    Finding finding;
    double answerMs;
    LinkError error;  // of the confirming read when it failed
    std::string serial, firmware, inputType;
    std::string port;  // named only where several lines are swept
};

bool ParseAddressRange(const std::string& text, ScanOptions* options) {
    const size_t dash = text.find('-');
    const std::string first = dash == std::string::npos ? text : text.substr(0, dash);
    const std::string last = dash == std::string::npos ? text : text.substr(dash + 1);
    return ParseDeviceAddress(first, &options->first) && ParseDeviceAddress(last, &options->last) &&
           options->first <= options->last;
}

bool ParseRates(const std::string& text, ScanOptions* options) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        int32_t rate = 0;
        if (!ParseBaudRate(text.substr(start, comma - start), &rate)) return false;
        options->rates.push_back(rate);
        start = comma + 1;
    }
    return !options->rates.empty();
}

int ParseOptions(const Arguments& arguments, ScanOptions* options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--json" || option == "--csv") {
            options->output = option == "--json" ? ScanOutput::kJson : ScanOutput::kCsv;
            continue;
        }
        const bool valued = option == "--addresses" || option == "--rates" || option == "--answer-ms" ||
                            option == "--timeout" || option == "--expect" || option == "--port";
        if (!valued) return UsageError("scan", UnexpectedArgumentText(option));
        if (i + 1 >= arguments.size()) return UsageError("scan", option + " precisa de um valor");
        const std::string& value = arguments[++i];
        if (option == "--port") {
            if (value.empty()) return UsageError("scan", "--port precisa do nome de uma porta");
            options->ports.push_back(value);
        }
        if (option == "--addresses" && !ParseAddressRange(value, options))
            return UsageError("scan", "--addresses espera A-B com 1 <= A <= B <= 247");
        if (option == "--rates" && !ParseRates(value, options))
            return UsageError("scan",
                              "--rates espera taxas separadas por vírgula entre 1200, 2400, 4800, 9600 e 19200");
        if (option == "--answer-ms" && !ParseWholeNumber(value, 1, 5000, &options->answerMs))
            return UsageError("scan", "--answer-ms espera milissegundos, de 1 a 5000");
        if (option == "--timeout" && !ParseWholeNumber(value, 1, 10000, &options->timeoutMs))
            return UsageError("scan", "--timeout espera milissegundos, de 1 a 10000");
        if (option == "--expect" && !ParseWholeNumber(value, 1, 247L * 5, &options->expect))
            return UsageError("scan", "--expect espera o número de transmissores, de 1 a 1235");
    }
    return kExitOk;
}

// The allowance after the request that makes the probe wait at a silent address as long as --timeout
// asks in all (the allowance and the first character's line time).
uint32_t AllowanceMs(const ScanOptions& options, int32_t rate) {
    if (options.timeoutMs == 0) return static_cast<uint32_t>(options.answerMs);
    const uint32_t characterMs = (LineTimeUs(1, rate) + 999u) / 1000u;
    return options.timeoutMs > static_cast<long>(characterMs) ? static_cast<uint32_t>(options.timeoutMs) - characterMs
                                                              : 1u;
}

// The sweep heard something at the current address: the normal read, with its retries, decides.
Found Confirm(LineSession& session, int address, int32_t rate, const ProbeResult& probe) {
    Found found{address, rate, Finding::kConfirmed, probe.answerUs / 1000.0, kLinkOk, "", "", "", ""};
    uint16_t words[kConfigBlockWords] = {};
    const LinkError result = ReadConfigBlock(session.line, words);
    if (result != kLinkOk) {
        found.error = result;
        // Only the normal read's own failures count: what the sweep heard may be a slow transmitter's
        // late reply to the address before.
        found.finding = CollidingReplies(result) ? Finding::kDuplicate : Finding::kUnconfirmed;
        return found;
    }
    const ConfigSnapshot config = session.TakeRead(words);
    found.serial = SerialNumberText(config.serialNumber);
    found.firmware = FirmwareText(config.firmwareVersion);
    found.inputType = InputTypeText(config.inputType, config.unit);
    return found;
}

std::string StateName(Finding finding) { return finding == Finding::kConfirmed ? "confirmado" : "duplicado"; }

// The table names the port above its rows (SweepLines), not in them.
std::string TableLine(const Found& f) {
    if (f.finding == Finding::kConfirmed)
        return Format("%-9d %-6d %-16s %-9s %s %6.1f\n", f.address, static_cast<int>(f.rate), f.serial.c_str(),
                      f.firmware.c_str(), PadRight(f.inputType, 24).c_str(), f.answerMs);
    return Format("%-9d %-6d (provável endereço duplicado: respostas que colidem, %s)\n", f.address,
                  static_cast<int>(f.rate), FixedText(LinkErrorText(f.error)).c_str());
}

std::string CsvLine(const Found& f) {
    return (f.port.empty() ? std::string() : CsvField(f.port) + ",") +
           Format("%d,%d,%s,%s,\"%s\",%.1f,%s\n", f.address, static_cast<int>(f.rate), f.serial.c_str(),
                  f.firmware.c_str(), f.inputType.c_str(), f.answerMs, StateName(f.finding).c_str());
}

std::string JsonObject(const Found& f) {
    nlohmann::ordered_json object =
        f.port.empty() ? nlohmann::ordered_json::object() : nlohmann::ordered_json{{"porta", f.port}};
    object.update(nlohmann::ordered_json{{"endereco", f.address},
                                         {"taxa", f.rate},
                                         {"numero_serie", f.serial},
                                         {"firmware", f.firmware},
                                         {"tipo_entrada", f.inputType},
                                         {"resposta_ms", std::round(f.answerMs * 10) / 10},
                                         {"estado", StateName(f.finding)}});
    return "  " + JsonOnOneLine(object);
}

// Lines swept at once keep their text until each is done: no progress line for them.
thread_local bool quietProgress = false;

void ShowProgress(int done, int total, int32_t rate, int address, uint64_t startUs) {
    if (quietProgress || !StderrIsTerminal()) return;
    const int width = 24;
    const int filled = total ? done * width / total : width;
    // The time left from the pace so far; the slower rates still to come make it an estimate.
    const uint64_t elapsedUs = LinkClockUs() - startUs;
    const unsigned left = done ? static_cast<unsigned>(elapsedUs / done * (total - done) / 1000000u) : 0u;
    WriteErr(Format("\r[%s%s] %3d%%  %5d bit/s, endereço %3d, faltam %u:%02u ",
                    std::string(static_cast<size_t>(filled), '#').c_str(),
                    std::string(static_cast<size_t>(width - filled), '.').c_str(), total ? done * 100 / total : 100,
                    static_cast<int>(rate), address, left / 60, left % 60));
}

void ClearProgress() {
    if (!quietProgress && StderrIsTerminal()) WriteErr("\r" + std::string(76, ' ') + "\r");
}

std::string FoundText(const ScanOptions& options, const Found& found, bool first) {
    if (options.output == ScanOutput::kCsv) return CsvLine(found);
    if (options.output == ScanOutput::kJson) return (first ? "\n" : ",\n") + JsonObject(found);
    return TableLine(found);
}

// The heading of the results; named: a porta column, where several lines are swept.
void WriteHeading(const ScanOptions& options, bool named) {
    if (options.output == ScanOutput::kTable)
        WriteOut(Format("%s %-6s %s %-9s %-24s %s\n", PadRight("ENDEREÇO", 9).c_str(), "TAXA",
                        PadRight("NÚMERO DE SÉRIE", 16).c_str(), "FIRMWARE", "TIPO DE ENTRADA", "RESPOSTA (ms)"));
    if (options.output == ScanOutput::kCsv)
        WriteOut(std::string(named ? "porta," : "") +
                 "endereco,taxa,numero_serie,firmware,tipo_entrada,resposta_ms,estado\n");
    if (options.output == ScanOutput::kJson) WriteOut("[");
}

void WriteEnding(const ScanOptions& options, bool any) {
    if (options.output == ScanOutput::kJson) WriteOut(any ? "\n]\n" : "]\n");
}

// What a sweep does with what it finds: opened once the port is open, found for each finding, and
// closed when the sweep is over, before its summary.
struct SweepSink {
    std::function<void()> opened;
    std::function<void(const Found&)> found;
    std::function<void()> closed;
};

// One line swept on session at target: the findings handed to sink as the sweep confirms them, then
// the line's summary and warnings (label, "PORTA: ", in front where several lines are swept). An
// exit code; *confirmed counts the transmitters found.
int SweepLine(LineSession& session, LineTarget target, ScanOptions options, const std::string& label,
              const SweepSink& sink, int* confirmed) {
    int code = kExitOk;
    const bool ratesGiven = !options.rates.empty();
    if (!ratesGiven) options.rates.assign(kNetworkRates, kNetworkRates + kNetworkRateCount);
    code = FitScanRates(target.port, target.baud, ratesGiven, &options.rates);
    if (code != kExitOk) return code;
    target.baud = options.rates.front();
    target.address = static_cast<uint8_t>(options.first);
    code = session.Open(target);
    if (code != kExitOk) return code;
    sink.opened();

    const int perRate = options.last - options.first + 1;
    const int total = perRate * static_cast<int>(options.rates.size());
    const uint64_t startUs = LinkClockUs();
    int done = 0, found = 0, duplicates = 0, unconfirmed = 0;
    for (int32_t rate : options.rates) {
        const bool opened = rate == session.Settings().baudRate && done == 0;  // OpenLine opened the first rate
        session.Settings().baudRate = rate;
        if (!opened && !session.Reopen()) {
            ClearProgress();
            Complain(Format("a porta %s não abriu a %d bit/s", session.PortName().c_str(), static_cast<int>(rate)));
            code = kExitPort;
            break;
        }
        const uint32_t allowanceMs = AllowanceMs(options, rate);
        for (int address = options.first; address <= options.last && !Interrupted(); ++address, ++done) {
            if (options.expect && found >= options.expect) break;
            ShowProgress(done, total, rate, address, startUs);
            session.Settings().deviceAddress = static_cast<uint8_t>(address);
            ProbeResult probe = {kLinkTimeout, false, 0};
            {
                // --timeout is the whole wait at a silent address, the network's share included.
                const WholeWaitScope whole(session.Network(), options.timeoutMs != 0, allowanceMs);
                probe = ProbeRead(session.line, kSweepRegister, nullptr, allowanceMs);
            }
            // Every further address would fail at once: the sweep ends, and says why when the line closes.
            if (session.Network().LineLost()) {
                code = kExitNoReply;
                break;
            }
            if (!probe.heard) continue;
            const Found result = Confirm(session, address, rate, probe);
            // What the normal read cannot confirm is not reported as found.
            if (result.finding == Finding::kUnconfirmed) {
                ++unconfirmed;
                continue;
            }
            ClearProgress();
            sink.found(result);
            if (result.finding == Finding::kConfirmed) ++found;
            if (result.finding == Finding::kDuplicate) ++duplicates;
        }
        if (code != kExitOk || Interrupted() || (options.expect && found >= options.expect)) break;
    }
    ClearProgress();
    session.Close();
    sink.closed();
    *confirmed = found;
    if (Interrupted()) {
        Complain("interrompido: a busca parou e a porta foi fechada");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    WriteErr(Format("%s%d transmissor(es) encontrado(s) em %.1f s\n", label.c_str(), found,
                    (LinkClockUs() - startUs) / 1e6));
    if (duplicates)
        Complain(Format("%saviso: %d endereço(s) com respostas que colidem: provável endereço duplicado", label.c_str(),
                        duplicates));
    if (unconfirmed) Complain(label + UnconfirmedSweepText(unconfirmed));
    if (options.expect && found < options.expect)
        Complain(Format("%saviso: esperados %ld, encontrados %d", label.c_str(), options.expect, found));
    return found ? kExitOk : kExitNoReply;
}

// Several lines, each swept on a thread and a session of its own; each line's findings and messages
// printed whole, in the order of the ports, once every sweep is over. The first failure other than
// an empty line decides the exit code; 4 only when no line had a transmitter.
int SweepLines(const LineTarget& base, const ScanOptions& options, bool verbose) {
    struct PortSweep {
        int code = kExitOk;
        int confirmed = 0;
        std::vector<Found> found;
        std::string messages;
    };
    std::vector<PortSweep> sweeps(options.ports.size());
    RunOnThreads(sweeps.size(), [&](size_t i) {
        TextCapture capture;
        quietProgress = true;
        LineSession session;
        session.SetVerbose(verbose);
        LineTarget target = base;
        target.port = options.ports[i];
        PortSweep& sweep = sweeps[i];
        const SweepSink sink = {[] {},
                                [&](const Found& found) {
                                    sweep.found.push_back(found);
                                    sweep.found.back().port = target.port;
                                },
                                [] {}};
        sweep.code = SweepLine(session, target, options, target.port + ": ", sink, &sweep.confirmed);
        session.Close();
        sweep.messages = capture.TakeErr() + capture.TakeOut();
    });
    WriteHeading(options, true);
    int reported = 0, code = kExitOk, confirmed = 0;
    for (size_t i = 0; i < sweeps.size(); ++i) {
        const PortSweep& sweep = sweeps[i];
        if (options.output == ScanOutput::kTable) WriteOut("porta " + options.ports[i] + ":\n");
        for (const Found& found : sweep.found) WriteOut(FoundText(options, found, reported++ == 0));
        WriteErr(sweep.messages);
        confirmed += sweep.confirmed;
        if (code == kExitOk && sweep.code != kExitOk && sweep.code != kExitNoReply) code = sweep.code;
    }
    WriteEnding(options, reported != 0);
    if (code != kExitOk) return code;
    return confirmed ? kExitOk : kExitNoReply;
}
}  // namespace

int RunScan(LineSession& session, const GlobalOptions& globals, const Arguments& arguments) {
    ScanOptions options;
    int code = ParseOptions(arguments, &options);
    if (code != kExitOk) return code;

    LineTarget target = ResolveLineTarget(globals);
    // The sweep asks each address as its own unit; one unit given for all would answer at every address.
    if (target.unit) return UsageError("scan", "--unit não vale na busca: cada endereço é procurado como unidade");
    if (options.ports.size() > 1) return SweepLines(target, options, globals.verbose);
    if (!options.ports.empty()) target.port = options.ports.front();
    int reported = 0, confirmed = 0;
    const SweepSink sink = {[&] { WriteHeading(options, false); },
                            [&](const Found& found) { WriteOut(FoundText(options, found, reported++ == 0)); },
                            [&] { WriteEnding(options, reported != 0); }};
    return SweepLine(session, target, options, "", sink, &confirmed);
}
