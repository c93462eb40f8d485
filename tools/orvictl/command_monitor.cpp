// monitor: process value, unit, alarm and status at a fixed interval, as a table or CSV with timestamps.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>

#include "comm_settings.h"
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
CsvTime Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int ms =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return CsvTimeOf(LocalTimeOf(seconds), seconds, ms);
}

// One transmitter of the sweep: where it is and what its values mean.
struct Polled {
    int address;
    ConfigSnapshot config;
    std::string unit;
};

std::string StatusText(uint16_t bits) {
    std::string text;
    for (int bit = 0; bit < kStatusBitCount; ++bit)
        if (bits & (1u << bit)) text += (text.empty() ? "" : "; ") + FixedText(StatusBitText(bit));
    return text;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The first bytes of an existing file, enough for its header; empty when it is empty or missing.
std::string FileStart(const std::string& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file) return "";
    char buffer[4096];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    return std::string(buffer, got);
}

// The CSV file as asked: a new file, rows added to an existing one, or one replaced; null after a message.
FILE* OpenCsv(const MonitorOptions& monitor, const CsvStyle& style, bool* writeHeader) {
    const std::string& path = monitor.csvPath;
    const std::string shown = path;
    if (IsFolder(path)) {
        Complain(Format("não foi possível criar o arquivo %s: %s", shown.c_str(), FileErrorText(EISDIR).c_str()));
        return nullptr;
    }
    // Rows under other columns (another monitor, --excel or not, --addresses or not) would be misread.
    const std::string start = monitor.append ? FileStart(path) : "";
    if (!start.empty() && !StartsWithCsvHeader(start, style)) {
        const std::string header = CsvHeader(style);
        Complain(
            Format("o arquivo %s não tem o cabeçalho destas colunas (%s): nada foi acrescentado; --force o "
                   "substitui",
                   shown.c_str(), header.substr(0, header.size() - 1).c_str()));
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
bool PutCsv(FILE* file, const MonitorOptions& monitor, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return true;
    Complain(
        Format("não foi possível gravar no arquivo %s: %s", monitor.csvPath.c_str(), FileErrorText(errno).c_str()));
    return false;
}
// One sample of one transmitter: its CSV row, its table line; false when the row is a missed one.
bool Sample(LineSession& session, const Polled& polled, const CsvStyle& style, bool table, std::string* row) {
    session.Settings().deviceAddress = static_cast<uint8_t>(polled.address);
    uint16_t live[kLiveBlockWords] = {};
    uint16_t status = 0;
    const CsvTime when = Timestamp();
    LinkError result = ReadLiveBlock(session.line, live);
    bool statusRefused = false;
    if (result == kLinkOk) {
        result = ReadStatusBits(session.line, &status);
        // A gateway that refuses the private functions leaves the status unknown, not the sample.
        statusRefused = result == kLinkException && session.Network().PrivateValuesRefused();
        if (statusRefused) result = kLinkOk;
    }
    // No tag is known to the line; the serial number is the one read before the first sample.
    const CsvSource source = {polled.address, "", SerialNumberText(polled.config.serialNumber)};
    const std::string who = style.perAddress ? Format("%3d ", polled.address) : "";
    if (result != kLinkOk) {
        // A lost connection or a gateway's answer says more than the time-out it ends in.
        const std::string network = session.Network().SampleText(result, static_cast<unsigned>(polled.address));
        const std::string why = network.empty() ? FixedText(LinkErrorText(result)) : network;
        Complain(Format("%s: %ssem leitura (%s)", when.iso.c_str(),
                        style.perAddress ? Format("endereço %d: ", polled.address).c_str() : "", why.c_str()));
        *row = CsvMissedRow(when, why, style, source);
        if (table)
            WriteOut(Format("%-29s %s%10s %s %-7s sem leitura (%s)\n", when.iso.c_str(), who.c_str(), "-",
                            PadRight(polled.unit, 7).c_str(), "-", why.c_str()));
        return false;
    }
    const std::string value = ProcessValueText(static_cast<int16_t>(live[1]), polled.config.inputType);
    const int alarmOn = live[6] & 1;
    const std::string alarm = FixedText(AlarmMnemonicText(alarmOn, polled.config.alarmFunction));
    // A gateway that refused the status read leaves its columns empty, not guessed.
    *row = statusRefused ? CsvRefusedStatusRow(when, value, polled.unit, alarmOn, style, source)
                         : CsvSampleRow(when, value, polled.unit, alarmOn, status, StatusText(status), style, source);
    if (table)
        WriteOut(Format("%-29s %s%10s %s %s %s\n", when.iso.c_str(), who.c_str(), value.c_str(),
                        PadRight(polled.unit, 7).c_str(), PadRight(alarmOn ? alarm : "-", 7).c_str(),
                        statusRefused ? "(não lido)"
                        : status      ? StatusText(status).c_str()
                                      : "ok"));
    return true;
}
}  // namespace

int RunMonitor(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    MonitorOptions monitor;
    std::string problem;
    if (!ParseMonitorOptions(arguments, &monitor, &problem)) return UsageError("monitor", problem);
    const bool csvToStdout = monitor.csvPath == "-";
    CsvStyle style;
    style.excel = monitor.excel;
    style.perAddress = !monitor.addresses.empty();
    std::unique_ptr<FILE, FileCloser> csv;
    bool writeHeader = true;
    if (!monitor.csvPath.empty() && !csvToStdout) {
        csv.reset(OpenCsv(monitor, style, &writeHeader));
        if (!csv) return kExitFile;
    }

    const LineTarget target = ResolveLineTarget(options);
    int code = session.Open(target);
    if (code != kExitOk) return code;
    std::vector<Polled> polled;
    for (int address : monitor.addresses.empty() ? std::vector<int>{target.address} : monitor.addresses) {
        session.Settings().deviceAddress = static_cast<uint8_t>(address);
        uint16_t words[kConfigBlockWords] = {};
        code = session.ReadConfiguration(words);
        if (code != kExitOk || Interrupted()) {
            session.Close();
            return Interrupted() ? kExitInterrupted : code;
        }
        const ConfigSnapshot config = session.TakeRead(words);
        polled.push_back({address, config, FixedText(UnitLabelText(config.inputType, config.unit))});
    }

    // The mark goes in raw: it is UTF-8 already, and only at the very start of the file.
    if (csv && writeHeader && style.excel && std::fwrite(kUtf8Mark, 1, 3, csv.get()) != 3) writeHeader = false;
    if (csv && writeHeader && !PutCsv(csv.get(), monitor, CsvHeader(style))) {
        session.Close();
        return kExitFile;
    }
    if (csvToStdout)
        WriteOut(CsvHeader(style));
    else
        WriteOut(Format("%-29s %s%10s %-7s %-7s %s\n", "HORA", style.perAddress ? "END " : "", "VALOR", "UNIDADE",
                        "ALARME", "ESTADO"));

    long samples = 0;
    long missed = 0;
    code = kExitOk;
    auto next = std::chrono::steady_clock::now();
    while (!Interrupted() && (monitor.count == 0 || samples < monitor.count)) {
        ++samples;
        bool stop = false;
        for (const Polled& one : polled) {
            if (Interrupted()) break;
            std::string row;
            if (!Sample(session, one, style, !csvToStdout, &row)) {
                ++missed;
                if (session.Network().LineLost()) {  // every further sample would fail at once
                    stop = true;
                    break;
                }
            }
            if (csvToStdout) WriteOut(row);
            if (csv && !PutCsv(csv.get(), monitor, row)) {
                code = kExitFile;
                stop = true;
                break;
            }
        }
        if (stop) break;
        if (monitor.count && samples >= monitor.count) break;
        // A fixed rate: the next sample is due an interval after the last one began.
        next += std::chrono::milliseconds(monitor.intervalMs);
        const auto now = std::chrono::steady_clock::now();
        if (next < now) next = now;
        if (!PauseUnlessInterrupted(
                static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count())))
            break;
    }
    const bool lost = session.Network().LineLost();
    session.Close();
    if (lost) return kExitNoReply;
    if (missed) {
        Complain(Format("%ld de %ld amostras sem resposta do transmissor", missed,
                        samples * static_cast<long>(polled.size())));
        if (code == kExitOk) code = kExitNoReply;
    }
    return code;  // Ctrl-C is how a monitor without --count ends: not a failure by itself
}
