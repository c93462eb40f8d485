// monitor: process value, unit, alarm and status at a fixed interval, as a table or CSV with timestamps.
#include <cerrno>
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
#include "monitor_csv.h"
#include "file_text.h"
#include "platform.h"
#include "text_output.h"
#include "transactions.h"

namespace {
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

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The CSV file as asked: a new file, rows added to an existing one, or one replaced; null after a message.
FILE* OpenCsv(const MonitorOptions& monitor, bool* writeHeader) {
    const std::string& path = monitor.csvPath;
    const std::string shown = ArgumentText(path.c_str());
    if (IsFolder(path)) {
        Complain(Format("não foi possível criar o arquivo %s: %s", shown.c_str(), FileErrorText(EISDIR).c_str()));
        return nullptr;
    }
    FILE* file = monitor.append ? OpenFile(path, "ab") : monitor.force ? OpenFile(path, "wb") : CreateNewFile(path);
    if (!file && errno == EEXIST) {
        Complain(Format("o arquivo %s já existe: --append acrescenta as linhas, --force o substitui", shown.c_str()));
        return nullptr;
    }
    if (!file) {
        Complain(Format("não foi possível criar o arquivo %s: %s", shown.c_str(), FileErrorText(errno).c_str()));
        return nullptr;
    }
    // Rows added to a file that has them already come without a second header.
    *writeHeader = !monitor.append || (std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0);
    return file;
}

// One CSV line into the file; false after a message when the disk refuses it (no row is lost unsaid).
bool PutCsv(FILE* file, const MonitorOptions& monitor, const std::string& cp1252) {
    const std::string text = Cp1252ToUtf8(cp1252);
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return true;
    Complain(Format("não foi possível gravar no arquivo %s: %s", ArgumentText(monitor.csvPath.c_str()).c_str(),
                    FileErrorText(errno).c_str()));
    return false;
}
}  // namespace

int RunMonitor(const GlobalOptions& options, const Arguments& arguments) {
    MonitorOptions monitor;
    std::string problem;
    if (!ParseMonitorOptions(arguments, &monitor, &problem)) return UsageError("monitor", problem);
    const bool csvToStdout = monitor.csvPath == "-";
    std::unique_ptr<FILE, FileCloser> csv;
    bool writeHeader = true;
    if (!monitor.csvPath.empty() && !csvToStdout) {
        csv.reset(OpenCsv(monitor, &writeHeader));
        if (!csv) return kExitFile;
    }

    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    if (code != kExitOk || Interrupted()) {
        CloseLine();
        return Interrupted() ? kExitInterrupted : code;
    }
    DecodeConfigBlock(words);
    const ConfigSnapshot config = configSnapshot;
    const std::string unit = UnitLabelText(config.inputType, config.unit);

    if (csv && writeHeader && !PutCsv(csv.get(), monitor, kCsvHeader)) {
        CloseLine();
        return kExitFile;
    }
    if (csvToStdout)
        WriteOut(kCsvHeader);
    else
        WriteOut(Format("%-23s %10s %-7s %-7s %s\n", "HORA", "VALOR", "UNIDADE", "ALARME", "ESTADO"));

    long samples = 0;
    long missed = 0;
    code = kExitOk;
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
        std::string row;
        if (result != kLinkOk) {
            ++missed;
            Complain(Format("%s: sem leitura (%s)", when.c_str(), LinkErrorText(result)));
            if (NetworkLineLost()) break;  // every further sample would fail at once
            row = CsvMissedRow(when, LinkErrorText(result));
            if (!csvToStdout)
                WriteOut(Format("%-23s %10s %-7s %-7s sem leitura (%s)\n", when.c_str(), "-", unit.c_str(), "-",
                                LinkErrorText(result)));
        } else {
            const std::string value = ProcessValueText(static_cast<int16_t>(live[1]), config.inputType);
            const int alarmOn = live[6] & 1;
            const std::string alarm = AlarmMnemonicText(alarmOn, config.alarmFunction);
            row = CsvSampleRow(when, value, unit, alarmOn, status, StatusText(status));
            // A gateway that refused the status read leaves its columns empty, not guessed.
            if (statusRefused) row = CsvRefusedStatusRow(when, value, unit, alarmOn);
            if (!csvToStdout)
                WriteOut(Format("%-23s %10s %-7s %-7s %s\n", when.c_str(), value.c_str(), unit.c_str(),
                                alarmOn ? alarm.c_str() : "-",
                                statusRefused ? "(não lido)"
                                : status      ? StatusText(status).c_str()
                                              : "ok"));
        }
        if (csvToStdout) WriteOut(row);
        if (csv && !PutCsv(csv.get(), monitor, row)) {
            code = kExitFile;
            break;
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
    if (missed) {
        Complain(Format("%ld de %ld amostras sem resposta do transmissor", missed, samples));
        if (code == kExitOk) code = kExitNoReply;
    }
    return code;  // Ctrl-C is how a monitor without --count ends: not a failure by itself
}
