// monitor: process value, unit, alarm and status at a fixed interval, as a table or CSV with timestamps.
#include <chrono>
#include <cstdio>
#include <memory>

#include "commands.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "line_session.h"
#include "network_port.h"
#include "live_diagnostic_texts.h"
#include "live_status_list.h"
#include "platform.h"
#include "text_output.h"
#include "transactions.h"

namespace {
struct MonitorOptions {
    uint32_t intervalMs = 1000;
    long count = 0;  // 0: until Ctrl-C
    std::string csvPath;
};

bool ParseInterval(const std::string& text, uint32_t* ms) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(seconds >= 0.1 && seconds <= 86400)) return false;
    *ms = static_cast<uint32_t>(seconds * 1000 + 0.5);
    return true;
}

std::string Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long ms =
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    const std::tm local = LocalTimeOf(seconds);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return Format("%s.%03ld", text, ms);
}

std::string StatusText(uint16_t bits) {
    std::string text;
    for (int bit = 0; bit < kStatusBitCount; ++bit)
        if (bits & (1u << bit)) text += (text.empty() ? "" : "; ") + StatusBitText(bit);
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
}  // namespace

int RunMonitor(const GlobalOptions& options, const Arguments& arguments) {
    MonitorOptions monitor;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (i + 1 >= arguments.size() || (option != "--interval" && option != "--count" && option != "--csv"))
            return UsageError("monitor", "argumento inesperado: " + ArgumentText(option.c_str()));
        const std::string& value = arguments[++i];
        if (option == "--interval" && !ParseInterval(value, &monitor.intervalMs))
            return UsageError("monitor", "--interval espera segundos, de 0.1 a 86400");
        if (option == "--count" && !ParseWholeNumber(value, 1, 100000000L, &monitor.count))
            return UsageError("monitor", "--count espera um número inteiro positivo");
        if (option == "--csv") monitor.csvPath = value;
    }
    std::unique_ptr<FILE, FileCloser> csv;
    if (!monitor.csvPath.empty()) {
        csv.reset(monitor.csvPath == "-" ? nullptr : std::fopen(monitor.csvPath.c_str(), "wb"));
        if (monitor.csvPath != "-" && !csv) {
            Complain(Format("não foi possível criar o arquivo %s", ArgumentText(monitor.csvPath.c_str()).c_str()));
            return kExitFile;
        }
    }
    const bool csvToStdout = monitor.csvPath == "-";

    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    if (code != kExitOk) {
        CloseLine();
        return code;
    }
    DecodeConfigBlock(words);
    const ConfigSnapshot config = configSnapshot;
    const std::string unit = UnitLabelText(config.inputType, config.unit);

    const std::string header = "hora,valor,unidade,alarme,estado_bits,estado\n";
    if (csv) std::fputs(header.c_str(), csv.get()), std::fflush(csv.get());
    if (csvToStdout)
        WriteOut(header);
    else
        WriteOut(Format("%-23s %10s %-7s %-7s %s\n", "HORA", "VALOR", "UNIDADE", "ALARME", "ESTADO"));

    long samples = 0;
    long answered = 0;
    auto next = std::chrono::steady_clock::now();
    while (!Interrupted() && (monitor.count == 0 || samples < monitor.count)) {
        uint16_t live[kLiveBlockWords] = {};
        uint16_t status = 0;
        const std::string when = Timestamp();
        LinkError result = ReadLiveBlock(live);
        bool statusRefused = false;
        if (result == kLinkOk) {
            result = ReadStatusBits(&status);
            // A gateway that refuses the private functions leaves the status unknown, not the sample.
            statusRefused = result == kLinkException && PrivateValuesRefused();
            if (statusRefused) result = kLinkOk;
        }
        ++samples;
        if (result != kLinkOk) {
            Complain(Format("%s: sem leitura (%s)", when.c_str(), LinkErrorText(result)));
            if (NetworkLineLost()) break;  // every further sample would fail at once
        } else {
            ++answered;
            const std::string value = ProcessValueText(static_cast<int16_t>(live[1]), config.inputType);
            const int alarmOn = live[6] & 1;
            const std::string alarm = AlarmMnemonicText(alarmOn, config.alarmFunction);
            const std::string bits = statusRefused ? std::string() : std::to_string(status);
            const std::string row =
                Format("%s,%s,%s,%d,%s,%s\n", when.c_str(), value.c_str(), CsvField(unit).c_str(), alarmOn,
                       bits.c_str(), statusRefused ? "não lido" : CsvField(StatusText(status)).c_str());
            if (csv) std::fputs(Cp1252ToUtf8(row).c_str(), csv.get()), std::fflush(csv.get());
            if (csvToStdout)
                WriteOut(row);
            else
                WriteOut(Format("%-23s %10s %-7s %-7s %s\n", when.c_str(), value.c_str(), unit.c_str(),
                                alarmOn ? alarm.c_str() : "-",
                                statusRefused ? "(não lido)"
                                : status      ? StatusText(status).c_str()
                                              : "ok"));
        }
        if (monitor.count && samples >= monitor.count) break;
        // A fixed rate: the next sample is due an interval after the last one began.
        next += std::chrono::milliseconds(monitor.intervalMs);
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now;
        if (!PauseUnlessInterrupted(
                static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count())))
            break;
    }
    const bool lost = NetworkLineLost();
    CloseLine();
    if (lost) return kExitNoReply;
    if (Interrupted()) return kExitOk;  // Ctrl-C is how a monitor without --count ends
    return answered ? kExitOk : kExitNoReply;
}
