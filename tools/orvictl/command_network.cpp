// address NEW and baud NEW: the transmitter's own address or rate changed, then confirmed at the new setting.
#include "comm_settings.h"
#include "commands.h"
#include "communication_line.h"
#include "communication_network_change.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "line_session.h"
#include "network_port.h"
#include "platform.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
// The shared change sequence over orvictl's line; Ctrl-C stops it before its first write.
class ConsoleLine : public CommunicationLine {
public:
    void Reopen() override { ReopenLine(); }
    LinkError ReadIdentity(uint16_t* value) override { return SearchReadIdentity(value); }
    LinkError ReadAddress(uint16_t* value) override { return SearchReadAddress(value); }
    LinkError Read(int8_t reg, uint16_t* value) override { return ReadHolding(reg, value); }
    LinkError Write(int8_t reg, int16_t value) override { return WriteRegisterByEcho(reg, value); }
    void Confirm(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) override {
        ReportEchoedWrite(reg, value, confirmed, hasReadBack, readBack);
    }
    bool Stopped() override { return Interrupted(); }
};

std::string Setting(uint8_t address, int32_t baud) {
    return Format("endereço %d a %d bit/s", address, static_cast<int>(baud));
}

int Report(const NetworkChange& change) {
    const std::string before = Setting(change.oldAddress, change.oldBaud);
    const std::string asked = Setting(change.newAddress, change.newBaud);
    switch (change.result) {
    case NetworkChangeResult::kNothingToChange: break;  // told before the sequence
    case NetworkChangeResult::kNoReply: ComplainNoReply("antes da mudança", change.error); return kExitNoReply;
    case NetworkChangeResult::kAddressInUse:
        Complain(Format("O endereço %d já está em uso nesta linha (algo respondeu nele a %d bit/s); nada foi escrito.",
                        change.newAddress, static_cast<int>(change.oldBaud)));
        return kExitCheck;
    case NetworkChangeResult::kStopped:
        Complain("interrompido antes da escrita: nada foi escrito e a porta foi fechada");
        return kExitInterrupted;
    case NetworkChangeResult::kConfirmed:
        if (change.addressWritten)
            WriteOut(Format("Endereço alterado de %d para %d e confirmado: o transmissor responde no %s.\n",
                            change.oldAddress, change.newAddress, LineDescription().c_str()));
        else
            WriteOut(Format("Taxa alterada de %d para %d bit/s e confirmada: o transmissor responde no %s.\n",
                            static_cast<int>(change.oldBaud), static_cast<int>(change.newBaud),
                            LineDescription().c_str()));
        WriteOut(Format("Use daqui em diante: --address %d --baud %d\n", change.newAddress,
                        static_cast<int>(change.newBaud)));
        return kExitOk;
    case NetworkChangeResult::kOnlyAddressTaken:
    case NetworkChangeResult::kNotTaken:
        Complain(
            Format("o transmissor não confirmou a mudança no %s (%s).", asked.c_str(), LinkErrorText(change.error)));
        Complain(Format("ele continua respondendo no %s.", LineDescription().c_str()));
        return kExitWrite;
    case NetworkChangeResult::kNotFound:
        Complain(Format("o transmissor não confirmou a mudança no %s (%s) nem responde mais no %s.", asked.c_str(),
                        LinkErrorText(change.error), before.c_str()));
        Complain(Format("ele pode estar em qualquer um dos dois; orvictl scan mostra onde ele responde agora."));
        return kExitWrite;
    }
    return kExitOk;
}

// The journal names the transmitter by its serial number; a failed read leaves it unnamed and the
// change's own first read says why.
void NoteSerialNumberForTheJournal() {
    uint16_t first = 0, second = 0;
    if (ReadHolding(kRegSerialFirst, &first) != kLinkOk || ReadHolding(kRegSerialSecond, &second) != kLinkOk) return;
    readConfig.serialNumber = SerialNumberFromWords(static_cast<int16_t>(first), static_cast<int16_t>(second));
}

int ChangeNetwork(const GlobalOptions& options, uint8_t newAddress, int32_t newBaud) {
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    if (newAddress == 0) newAddress = commSettings.deviceAddress;
    if (newBaud == 0) newBaud = commSettings.baudRate;

    if (newAddress == commSettings.deviceAddress && newBaud == commSettings.baudRate) {
        uint16_t identity = 0;
        const LinkError present = ReadHolding(8, &identity);
        if (present != kLinkOk) {
            ComplainNoReply("antes da mudança", present);
            code = kExitNoReply;
        } else {
            WriteOut(Format("Nada a mudar: o transmissor já está no %s.\n", LineDescription().c_str()));
        }
        CloseLine();
        return code;
    }
    // A line whose rate is its server's could not follow the transmitter to another rate.
    if (newBaud != commSettings.baudRate && LineRateIsFixed()) {
        Complain(
            Format("a taxa da linha %s é a do servidor ou gateway e não muda daqui: o transmissor ficaria "
                   "inalcançável; use rfc2217:// ou mude a taxa na porta local. Nada foi escrito.",
                   LinePortName().c_str()));
        CloseLine();
        return kExitUsage;
    }

    NoteSerialNumberForTheJournal();
    ConsoleLine line;
    const NetworkChange change = ApplyNetworkChange(commSettings, line, newAddress, newBaud);
    code = Report(change);
    CloseLine();
    return code;
}
}  // namespace

int RunAddress(const GlobalOptions& options, const Arguments& arguments) {
    int address = 0;
    if (arguments.size() != 1 || !ParseDeviceAddress(arguments[0], &address))
        return UsageError("address", "espera um endereço novo, de 1 a 247");
    return ChangeNetwork(options, static_cast<uint8_t>(address), 0);
}

int RunBaud(const GlobalOptions& options, const Arguments& arguments) {
    int32_t baud = 0;
    if (arguments.size() != 1 || !ParseBaudRate(arguments[0], &baud))
        return UsageError("baud", "espera uma taxa nova: 1200, 2400, 4800, 9600 ou 19200");
    return ChangeNetwork(options, 0, baud);
}
