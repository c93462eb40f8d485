// Waiting for a new transmitter, checking where it may go, and moving and configuring it.
#include "factory_unit.h"

#include "communication_rates.h"
#include "config_change.h"
#include "config_plan.h"
#include "exit_codes.h"
#include "live_diagnostic_texts.h"
#include "network_change.h"
#include "network_port.h"
#include "platform.h"
#include "probe.h"
#include "text_output.h"
#include "transactions.h"

namespace {
enum {
    kIdentityRegister = 8,
    kWaitPauseMs = 300,
    // Whether an address is free decides where a unit goes: a roomier wait than the inventory's sweep.
    kInUseAnswerMs = 100,
};

bool Answers(LineSession& session, int address) {
    session.Settings().deviceAddress = static_cast<uint8_t>(address);
    uint16_t identity = 0;
    return ReadHolding(session.line, kIdentityRegister, &identity) == kLinkOk;
}

// Moves the line to rate; false when the port does not open at it.
bool LineAt(LineSession& session, int32_t rate) {
    if (session.Settings().baudRate == rate && session.IsOpen()) return true;
    session.Settings().baudRate = rate;
    return session.Reopen();
}
}  // namespace

int WaitForFactoryUnit(LineSession& session, uint32_t skip, FactoryUnit* unit) {
    bool toldSkip = false;
    while (!Interrupted()) {
        const bool answered = Answers(session, kFactoryAddress);
        // A port whose driver no longer takes a request has gone (an adapter unplugged): waiting on it
        // would never end. One that opens again goes on.
        if (!answered && !session.line.frame.sent && !session.Reopen()) {
            Complain(Format("a porta %s deixou de aceitar pedidos e não abre de novo: a espera termina",
                            session.PortName().c_str()));
            return kExitPort;
        }
        if (answered) {
            uint16_t words[kConfigBlockWords] = {};
            if (ReadConfigBlock(session.line, words) == kLinkOk) {
                unit->held = session.TakeRead(words);
                if (skip == 0 || unit->held.serialNumber != skip) return kExitOk;
                if (!toldSkip)
                    Complain(
                        Format("o transmissor %s, que falhou, ainda está no endereço de fábrica: retire-o da "
                               "linha para o próximo",
                               SerialNumberText(skip).c_str()));
                toldSkip = true;
            }
        }
        if (!PauseUnlessInterrupted(kWaitPauseMs)) return kExitInterrupted;
    }
    return kExitInterrupted;
}

int CheckUnitTakes(const FactoryUnit& unit, const std::vector<RequestedValue>& requests, std::string* message) {
    return CheckChanges(unit.held, ApplyRequests(unit.held, requests), requests, message);
}

int32_t RateAnsweringAt(LineSession& session, uint8_t address) {
    const int32_t home = session.Settings().baudRate;
    const uint8_t homeAddress = session.Settings().deviceAddress;
    // A server in raw mode or a gateway: the line has the one rate.
    std::vector<int32_t> rates(kNetworkRates, kNetworkRates + kNetworkRateCount);
    if (session.Network().LineRateIsFixed() || session.Network().ThroughGateway()) rates.assign(1, home);
    int32_t answering = 0;
    for (int32_t rate : rates) {
        if (Interrupted() || !LineAt(session, rate)) break;
        session.Settings().deviceAddress = address;
        // Anything heard, even a garbled reply, is someone there.
        if (ProbeRead(session.line, kIdentityRegister, nullptr, kInUseAnswerMs).heard) {
            answering = rate;
            break;
        }
    }
    LineAt(session, home);
    session.Settings().deviceAddress = homeAddress;
    return answering;
}

int PlaceFactoryUnit(LineSession& session, const LineTarget& factory, uint8_t address, int32_t baud,
                     const std::vector<RequestedValue>* requests, std::string* result) {
    session.Close();
    int code = ChangeNetwork(session, factory, address, baud == factory.baud ? 0 : baud);
    if (code != kExitOk) {
        // Only a write that went out may have moved the unit; the other refusals wrote nothing.
        *result = code == kExitWrite         ? "endereço não confirmado"
                  : code == kExitNoReply     ? "sem resposta antes da mudança; nada escrito"
                  : code == kExitInterrupted ? "interrompido antes da mudança; nada escrito"
                                             : "endereço ou taxa recusados; nada escrito";
        return code;
    }
    *result = "endereço ok";
    if (!requests) return kExitOk;
    LineTarget moved = factory;
    moved.address = address;
    if (baud) moved.baud = baud;
    code = session.Open(moved);
    int written = 0;
    if (code == kExitOk) code = ApplyConfiguration(session, *requests, ChangeMode::Write, nullptr, &written);
    session.Close();
    if (code != kExitOk) {
        // ApplyConfiguration's own words speak of the configuration only: the unit has moved all the same.
        Complain(Format("o transmissor ficou no endereço %d sem a configuração completa", address));
        *result = "endereço ok; configuração falhou";
        return code;
    }
    *result = Format("endereço ok; %d parâmetro(s) escritos", written);
    return kExitOk;
}
