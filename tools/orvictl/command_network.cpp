// address NEW and baud NEW: the transmitter's own address or rate changed, then confirmed at the new setting.
#include "commands.h"
#include "communication_line.h"
#include "communication_network_change.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "line_session.h"
#include "network_change.h"
#include "live_diagnostic_texts.h"
#include "network_port.h"
#include "platform.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
// A transmitter by its serial number, at the address and rate in force.
struct Identity {
    LinkError result = kLinkTimeout;
    uint32_t serial = 0;
};

Identity ReadIdentityHere(LineSession& session) {
    Identity identity;
    uint16_t first = 0, second = 0;
    identity.result = ReadHolding(session.line, kRegSerialFirst, &first);
    if (identity.result == kLinkOk) identity.result = ReadHolding(session.line, kRegSerialSecond, &second);
    if (identity.result == kLinkOk)
        identity.serial = SerialNumberFromWords(static_cast<int16_t>(first), static_cast<int16_t>(second));
    return identity;
}

// The shared change sequence over orvictl's line; Ctrl-C stops it before its first write.
class ConsoleLine : public CommunicationLine {
public:
    ConsoleLine(LineSession& session, uint32_t serial) : session(session), serial_(serial) {}
    void Reopen() override { session.Reopen(); }
    LinkError ReadIdentity(uint16_t* value) override { return SearchReadIdentity(session.line, value); }
    LinkError ReadAddress(uint16_t* value) override { return SearchReadAddress(session.line, value); }
    LinkError Read(int8_t reg, uint16_t* value) override { return ReadHolding(session.line, reg, value); }
    LinkError Write(int8_t reg, int16_t value) override { return WriteRegisterByEcho(session.line, reg, value); }
    // Register 44 answering with the new number proves only that something is at that setting: the
    // write is confirmed only where the transmitter answering is the one written.
    void Confirm(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) override {
        if (confirmed) confirmed = FoundHere().result == kLinkOk && FoundHere().serial == serial_;
        ReportEchoedWrite(session.line, reg, value, confirmed, hasReadBack, readBack);
    }
    bool Stopped() override { return Interrupted(); }

    // Who answers where the change left the line, asked once.
    const Identity& FoundHere() {
        if (!looked_) found_ = ReadIdentityHere(session), looked_ = true;
        return found_;
    }

private:
    LineSession& session;
    uint32_t serial_;  // read before the change
    bool looked_ = false;
    Identity found_;
};

std::string Setting(uint8_t address, int32_t baud) {
    return Format("endereço %d a %d bit/s", address, static_cast<int>(baud));
}

int Report(LineSession& session, const NetworkChange& change) {
    const std::string before = Setting(change.oldAddress, change.oldBaud);
    const std::string asked = Setting(change.newAddress, change.newBaud);
    switch (change.result) {
    case NetworkChangeResult::kNothingToChange: break;  // told before the sequence
    case NetworkChangeResult::kNoReply: session.ComplainNoReply("antes da mudança", change.error); return kExitNoReply;
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
                            change.oldAddress, change.newAddress, session.Description().c_str()));
        else
            WriteOut(Format("Taxa alterada de %d para %d bit/s e confirmada: o transmissor responde no %s.\n",
                            static_cast<int>(change.oldBaud), static_cast<int>(change.newBaud),
                            session.Description().c_str()));
        WriteOut(Format("Use daqui em diante: --address %d --baud %d\n", change.newAddress,
                        static_cast<int>(change.newBaud)));
        return kExitOk;
    case NetworkChangeResult::kOnlyAddressTaken:
    case NetworkChangeResult::kNotTaken:
        Complain(
            Format("o transmissor não confirmou a mudança no %s (%s).", asked.c_str(), LinkErrorText(change.error)));
        Complain(Format("ele continua respondendo no %s.", session.Description().c_str()));
        return kExitWrite;
    case NetworkChangeResult::kNotFound:
        Complain(Format("o transmissor não confirmou a mudança no %s (%s) nem responde mais no %s.", asked.c_str(),
                        FixedText(LinkErrorText(change.error)).c_str(), before.c_str()));
        Complain(Format("ele pode estar em qualquer um dos dois; orvictl scan mostra onde ele responde agora."));
        return kExitWrite;
    }
    return kExitOk;
}

// Where the change left the line answering, the transmitter there must be the one moved (its serial
// number read before the change); another one, or none, confirms nothing and says so: the change
// may have been made (exit 6). kExitOk when it is the same transmitter.
int CheckSameTransmitter(LineSession& session, const NetworkChange& change, uint32_t serial, ConsoleLine& line) {
    if (change.result != NetworkChangeResult::kConfirmed && change.result != NetworkChangeResult::kOnlyAddressTaken &&
        change.result != NetworkChangeResult::kNotTaken)
        return kExitOk;
    const Identity& found = line.FoundHere();
    if (found.result == kLinkOk && found.serial == serial) return kExitOk;
    const std::string own = SerialNumberText(serial);
    if (found.result == kLinkOk)
        Complain(Format("não confirmado: no %s responde outro transmissor (número de série %s, não %s).",
                        session.Description().c_str(), SerialNumberText(found.serial).c_str(), own.c_str()));
    else
        Complain(Format("não confirmado: o transmissor no %s não disse o seu número de série (%s).",
                        session.Description().c_str(), FixedText(LinkErrorText(found.result)).c_str()));
    Complain(Format("%s pode ter sido alterad%s; orvictl scan mostra onde o transmissor %s responde agora.",
                    change.addressWritten ? "o endereço" : "a taxa", change.addressWritten ? "o" : "a", own.c_str()));
    return kExitWrite;
}

}  // namespace

int ChangeNetwork(LineSession& session, const LineTarget& target, uint8_t newAddress, int32_t newBaud) {
    int code = session.Open(target);
    if (code != kExitOk) return code;
    if (newAddress == 0) newAddress = session.Settings().deviceAddress;
    if (newBaud == 0) newBaud = session.Settings().baudRate;

    if (newAddress == session.Settings().deviceAddress && newBaud == session.Settings().baudRate) {
        uint16_t identity = 0;
        const LinkError present = ReadHolding(session.line, 8, &identity);
        if (present != kLinkOk) {
            session.ComplainNoReply("antes da mudança", present);
            code = kExitNoReply;
        } else {
            WriteOut(Format("Nada a mudar: o transmissor já está no %s.\n", session.Description().c_str()));
        }
        session.Close();
        return code;
    }
    // A line whose rate is its server's could not follow the transmitter to another rate.
    if (newBaud != session.Settings().baudRate && session.Network().LineRateIsFixed()) {
        Complain(
            Format("a taxa da linha %s é a do servidor ou gateway e não muda daqui: o transmissor ficaria "
                   "inalcançável; use rfc2217:// ou mude a taxa na porta local. Nada foi escrito.",
                   session.PortName().c_str()));
        session.Close();
        return kExitUsage;
    }

    // Without the serial number the transmitter at the new setting could not be told from another.
    const Identity identified = ReadIdentityHere(session);
    if (Interrupted()) {
        Complain("interrompido antes da escrita: nada foi escrito e a porta foi fechada");
        session.Close();
        return kExitInterrupted;
    }
    if (identified.result != kLinkOk) {
        session.ComplainNoReply("antes da mudança", identified.result);
        session.Close();
        return kExitNoReply;
    }
    session.NameTransmitter(identified.serial);  // the journal names the transmitter by it
    ConsoleLine line(session, identified.serial);
    const NetworkChange change = ApplyNetworkChange(session.Settings(), line, newAddress, newBaud);
    code = CheckSameTransmitter(session, change, identified.serial, line);
    if (code == kExitOk) code = Report(session, change);
    session.Close();
    return code;
}

int RunAddress(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    int address = 0;
    if (arguments.size() != 1 || !ParseDeviceAddress(arguments[0], &address))
        return UsageError("address", "espera um endereço novo, de 1 a 247");
    return ChangeNetwork(session, ResolveLineTarget(options), static_cast<uint8_t>(address), 0);
}

int RunBaud(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    int32_t baud = 0;
    if (arguments.size() != 1 || !ParseBaudRate(arguments[0], &baud))
        return UsageError("baud", "espera uma taxa nova: 1200, 2400, 4800, 9600 ou 19200");
    return ChangeNetwork(session, ResolveLineTarget(options), 0, baud);
}
