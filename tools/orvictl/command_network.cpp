// address NEW and baud NEW: the transmitter's own address or rate changed, then confirmed at the new setting.
#include "comm_settings.h"
#include "commands.h"
#include "communication_line.h"
#include "communication_network_change.h"
#include "communication_rates.h"
#include "exit_codes.h"
#include "line_session.h"
#include "network_port.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
// The write of register 44 or 45 answers at the old setting and takes effect after that answer,
// so its read-back at the old setting can never succeed. The echo is all the old setting can
// confirm; the read at the new setting is the confirmation that counts.
class EchoOnlyLine : public CommunicationLine {
public:
    void Reopen() override { ReopenLine(); }
    LinkError ReadIdentity(uint16_t* value) override { return SearchReadIdentity(value); }
    LinkError ReadAddress(uint16_t* value) override { return SearchReadAddress(value); }
    LinkError Write(int8_t reg, int16_t value) override { return lastResult = WriteRegisterByEcho(reg, value); }
    LinkError lastResult = kLinkOk;
};

// Reads reg at the current settings and compares it with expected.
bool Confirm(int8_t reg, uint16_t expected, LinkError* error) {
    uint16_t value = 0xFFFF;
    *error = ReadHolding(reg, &value);
    return *error == kLinkOk && value == expected;
}

int ChangeNetwork(const GlobalOptions& options, uint8_t newAddress, int32_t newBaud) {
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    const uint8_t oldAddress = commSettings.deviceAddress;
    const int32_t oldBaud = commSettings.baudRate;
    if (newAddress == 0) newAddress = oldAddress;
    if (newBaud == 0) newBaud = oldBaud;

    // The transmitter must be there before anything is written to it.
    uint16_t identity = 0;
    const LinkError present = ReadHolding(8, &identity);
    if (present != kLinkOk) {
        ComplainNoReply("antes da mudança", present);
        CloseLine();
        return kExitNoReply;
    }
    // A line whose rate is its server's could not follow the transmitter to another rate.
    if (newBaud != oldBaud && LineRateIsFixed()) {
        Complain(
            Format("a taxa da linha %s é a do servidor ou gateway e não muda daqui: o transmissor ficaria "
                   "inalcançável; use rfc2217:// ou mude a taxa na porta local. Nada foi escrito.",
                   LinePortName().c_str()));
        CloseLine();
        return kExitUsage;
    }
    if (newAddress == oldAddress && newBaud == oldBaud) {
        WriteOut(Format("Nada a mudar: o transmissor já está no %s.\n", LineDescription().c_str()));
        CloseLine();
        return kExitOk;
    }

    EchoOnlyLine line;
    const NetworkChange change = ApplyNetworkChange(commSettings, line, newAddress, newBaud);
    LinkError error = kLinkOk;
    const bool confirmed = change.addressWritten
                               ? Confirm(kRegDeviceAddress, newAddress, &error)
                               : Confirm(kRegBaudCode, static_cast<uint16_t>(BaudCode(newBaud)), &error);
    const std::string where = LineDescription();
    CloseLine();
    if (!confirmed) {
        Complain(Format("o transmissor não confirmou a mudança no %s (%s).", where.c_str(),
                        error == kLinkOk ? "o valor lido é outro" : LinkErrorText(error)));
        Complain(Format("antes estava no endereço %d a %d bit/s; orvictl scan mostra onde ele responde agora.",
                        oldAddress, static_cast<int>(oldBaud)));
        return kExitWrite;
    }
    if (change.addressWritten)
        WriteOut(Format("Endereço alterado de %d para %d e confirmado: o transmissor responde no %s.\n", oldAddress,
                        newAddress, where.c_str()));
    else
        WriteOut(Format("Taxa alterada de %d para %d bit/s e confirmada: o transmissor responde no %s.\n",
                        static_cast<int>(oldBaud), static_cast<int>(newBaud), where.c_str()));
    WriteOut(Format("Use daqui em diante: --address %d --baud %d\n", newAddress, static_cast<int>(newBaud)));
    return kExitOk;
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
