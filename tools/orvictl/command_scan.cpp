// scan: every address at every rate, one probe each, and what each transmitter found says of itself.
#include "comm_settings.h"
#include "commands.h"
#include "config_snapshot.h"
#include "communication_rates.h"
#include "exit_codes.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "network_port.h"
#include "parameter_keys.h"
#include "platform.h"
#include "register_map.h"
#include "rtu_frame.h"
#include "text_output.h"
#include "transactions.h"

namespace {
enum { kIdentityRegister = 8 };

struct ScanRange {
    int first = 1;
    int last = 247;
    std::vector<int32_t> rates;
};

bool ParseAddressRange(const std::string& text, ScanRange* range) {
    const size_t dash = text.find('-');
    const std::string first = dash == std::string::npos ? text : text.substr(0, dash);
    const std::string last = dash == std::string::npos ? text : text.substr(dash + 1);
    return ParseDeviceAddress(first, &range->first) && ParseDeviceAddress(last, &range->last) &&
           range->first <= range->last;
}

bool ParseRates(const std::string& text, ScanRange* range) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        int32_t rate = 0;
        if (!ParseBaudRate(text.substr(start, comma - start), &rate)) return false;
        range->rates.push_back(rate);
        start = comma + 1;
    }
    return !range->rates.empty();
}

// One request, no retries: an empty address costs one time-out instead of three, so a full scan
// of 247 addresses at five rates stays within minutes. Anything that answers is then read in full,
// with the link's retries.
bool SomethingAnswers() {
    uint16_t identity = 0;
    SendRequest(kIdentityRegister, 1, 3, 0, &identity);
    return ReceiveReply(3, 1) != kLinkTimeout;
}

void ShowProgress(int done, int total, int32_t rate, int address) {
    if (!StderrIsTerminal()) return;
    const int width = 30;
    const int filled = total ? done * width / total : width;
    WriteErr(Format("\r[%s%s] %3d%%  %5d bit/s, endereço %3d ", std::string(static_cast<size_t>(filled), '#').c_str(),
                    std::string(static_cast<size_t>(width - filled), '.').c_str(), total ? done * 100 / total : 100,
                    static_cast<int>(rate), address));
}

void ClearProgress() {
    if (StderrIsTerminal()) WriteErr("\r" + std::string(70, ' ') + "\r");
}
}  // namespace

int RunScan(const GlobalOptions& options, const Arguments& arguments) {
    ScanRange range;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--addresses" && option != "--rates") return UsageError("scan", UnexpectedArgumentText(option));
        if (i + 1 >= arguments.size()) return UsageError("scan", option + " precisa de um valor");
        const std::string& value = arguments[++i];
        if (option == "--addresses" && !ParseAddressRange(value, &range))
            return UsageError("scan", "--addresses espera A-B com 1 <= A <= B <= 247");
        if (option == "--rates" && !ParseRates(value, &range))
            return UsageError("scan",
                              "--rates espera taxas separadas por vírgula entre 1200, 2400, 4800, 9600 e 19200");
    }
    const bool ratesGiven = !range.rates.empty();
    if (!ratesGiven) range.rates.assign(kNetworkRates, kNetworkRates + kNetworkRateCount);

    LineTarget target = ResolveLineTarget(options);
    int code = FitScanRates(target.port, target.baud, ratesGiven, &range.rates);
    if (code != kExitOk) return code;
    target.baud = range.rates.front();
    target.address = static_cast<uint8_t>(range.first);
    code = OpenLine(target);
    if (code != kExitOk) return code;

    WriteOut(Format("%-9s %-6s %-16s %-9s %s\n", "ENDEREÇO", "TAXA", "NÚMERO DE SÉRIE", "FIRMWARE", "TIPO DE ENTRADA"));
    const int perRate = range.last - range.first + 1;
    const int total = perRate * static_cast<int>(range.rates.size());
    int done = 0;
    int found = 0;
    for (int32_t rate : range.rates) {
        commSettings.baudRate = rate;
        if (!ReopenLine()) {
            ClearProgress();
            Complain(Format("a porta %s não abriu a %d bit/s", LinePortName().c_str(), static_cast<int>(rate)));
            code = kExitPort;
            break;
        }
        for (int address = range.first; address <= range.last && !Interrupted(); ++address, ++done) {
            ShowProgress(done, total, rate, address);
            commSettings.deviceAddress = static_cast<uint8_t>(address);
            if (!SomethingAnswers()) continue;
            uint16_t words[kConfigBlockWords] = {};
            const LinkError result = ReadConfigBlock(words);
            ClearProgress();
            if (result != kLinkOk) {
                WriteOut(Format("%-9d %-6d (respondeu, mas a configuração não pôde ser lida: %s)\n", address,
                                static_cast<int>(rate), LinkErrorText(result)));
                continue;
            }
            DecodeConfigBlock(words);
            WriteOut(Format("%-9d %-6d %-16s %-9s %s\n", address, static_cast<int>(rate),
                            SerialNumberText(configSnapshot.serialNumber).c_str(),
                            FirmwareText(configSnapshot.firmwareVersion).c_str(),
                            InputTypeText(configSnapshot.inputType, configSnapshot.unit).c_str()));
            ++found;
        }
        if (Interrupted()) break;
    }
    ClearProgress();
    CloseLine();
    if (Interrupted()) {
        Complain("interrompido: a busca parou e a porta foi fechada");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    WriteErr(Format("%d transmissor(es) encontrado(s)\n", found));
    return found ? kExitOk : kExitNoReply;
}
