// The address and baud-rate change of a connected transmitter.
#include "communication_network_change.h"
#include <cstdio>
#include "communication_rates.h"
#include "register_map.h"

namespace {

constexpr int8_t kRegIdentity = 8;

struct LineSetting {
    uint8_t address;
    int32_t baud;
};

void MoveTo(CommSettings& settings, CommunicationLine& line, LineSetting where) {
    settings.deviceAddress = where.address;
    if (settings.baudRate == where.baud) return;
    settings.baudRate = where.baud;
    line.Reopen();
}

// Whether the transmitter answers at the settings in force with its own address in register 44.
bool AnswersHere(const CommSettings& settings, CommunicationLine& line, LinkError* error, uint16_t* read = nullptr) {
    uint16_t value = 0;
    *error = line.Read(kRegDeviceAddress, &value);
    if (*error == kLinkOk && read) *read = value;
    if (*error != kLinkOk) return false;
    // The transmitter answers at the low byte of register 44.
    if ((value & 0xFFu) == settings.deviceAddress) return true;
    *error = kLinkValueMismatch;
    return false;
}

// Anything that answers the new address at the current rate (a reply, or a garbled or exception
// one: something is there) makes the address taken; only silence leaves it free.
bool AddressTaken(CommSettings& settings, CommunicationLine& line, uint8_t address, LinkError* error) {
    const uint8_t own = settings.deviceAddress;
    settings.deviceAddress = address;
    uint16_t value = 0;
    *error = line.Read(kRegIdentity, &value);
    settings.deviceAddress = own;
    return *error != kLinkTimeout;
}

}  // namespace

NetworkChange ApplyNetworkChange(CommSettings& settings, CommunicationLine& line, uint8_t newAddress, int32_t newBaud) {
    const LineSetting old = {settings.deviceAddress, settings.baudRate};
    const bool moveAddress = newAddress != old.address;
    const bool moveRate = IsNetworkRate(newBaud) && newBaud != old.baud;
    NetworkChange change = {
        NetworkChangeResult::kNothingToChange, old.address, old.baud, moveAddress ? newAddress : old.address,
        moveRate ? newBaud : old.baud,         false,       false,    kLinkOk};
    if (!moveAddress && !moveRate) return change;
    const LineSetting target = {change.newAddress, change.newBaud};

    // A stop asked while a read waited wins over what that read returned (it may have cut it short).
    const bool present = !line.Stopped() && AnswersHere(settings, line, &change.error);
    const bool taken =
        present && !line.Stopped() && moveAddress && AddressTaken(settings, line, target.address, &change.error);
    if (line.Stopped()) {
        change.result = NetworkChangeResult::kStopped;
        change.error = kLinkOk;
        return change;
    }
    if (!present || taken) {
        change.result = present ? NetworkChangeResult::kAddressInUse : NetworkChangeResult::kNoReply;
        return change;
    }

    // The address first: the rate write then goes to the new address, at the rate the transmitter
    // still has. Once the writes have begun they are all made and confirmed: stopping halfway would
    // leave the transmitter somewhere nobody looks.
    LinkError written = kLinkOk;
    if (moveAddress) {
        written = line.Write(kRegDeviceAddress, static_cast<int16_t>(target.address));
        change.addressWritten = true;
        settings.deviceAddress = target.address;  // a lost echo does not say the address was not taken
    }
    if (moveRate && written == kLinkOk) {
        line.Write(kRegBaudCode, static_cast<int16_t>(BaudCode(target.baud)));
        change.baudWritten = true;
    }

    // Where it may answer now, most likely first. The target only when every write went out; the
    // new address at the old rate when the address went but the rate did not (or not yet).
    LineSetting candidates[3];
    int count = 0;
    if (!moveRate || change.baudWritten) candidates[count++] = target;
    if (moveAddress && moveRate) candidates[count++] = LineSetting{target.address, old.baud};
    candidates[count++] = old;
    change.error = kLinkTimeout;
    // Each write is recorded with what the look found: only the transmitter answering with
    // the new setting confirms it.
    const auto confirm = [&](bool addressHeld, bool rateHeld, bool read, uint16_t address) {
        if (change.addressWritten)
            line.Confirm(kRegDeviceAddress, static_cast<int16_t>(target.address), addressHeld, read,
                         static_cast<int16_t>(address & 0xFFu));
        if (change.baudWritten)
            line.Confirm(kRegBaudCode, static_cast<int16_t>(BaudCode(target.baud)), rateHeld, false, 0);
    };
    for (int i = 0; i < count; ++i) {
        MoveTo(settings, line, candidates[i]);
        LinkError error = kLinkOk;
        uint16_t found = 0;
        if (!AnswersHere(settings, line, &error, &found)) {
            if (i == 0) change.error = error;  // the confirming read's failure is the one to name
            continue;
        }
        const bool atTarget = candidates[i].address == target.address && candidates[i].baud == target.baud;
        const bool atOld = candidates[i].address == old.address && candidates[i].baud == old.baud;
        change.result = atTarget ? NetworkChangeResult::kConfirmed
                        : atOld  ? NetworkChangeResult::kNotTaken
                                 : NetworkChangeResult::kOnlyAddressTaken;
        if (atTarget) change.error = kLinkOk;
        confirm(!atOld, atTarget, true, found);
        return change;
    }
    // Nowhere: the host stays where it was before, the one setting the user knew.
    confirm(false, false, false, 0);
    MoveTo(settings, line, old);
    change.result = NetworkChangeResult::kNotFound;
    return change;
}

std::string NetworkChangeText(const NetworkChange& change) {
    char text[512] = "";
    const int oldBaud = static_cast<int>(change.oldBaud);
    const int newBaud = static_cast<int>(change.newBaud);
    switch (change.result) {
    case NetworkChangeResult::kNoReply:
        std::snprintf(text, sizeof text,
                      "O Equipamento não respondeu no endereço %d e baud rate %d (%s).\n\n"
                      "Nada foi modificado. Verifique a ligação ou execute a Busca Automática do Orvi "
                      "com o Equipamento ponto a ponto.",
                      change.oldAddress, oldBaud, LinkErrorText(change.error));
        break;
    case NetworkChangeResult::kAddressInUse:
        std::snprintf(text, sizeof text,
                      "O endereço %d já está em uso nesta linha!\n\n"
                      "Nada foi modificado: escolha um endereço que nenhum outro Equipamento use.",
                      change.newAddress);
        break;
    case NetworkChangeResult::kStopped:
        std::snprintf(text, sizeof text, "Modificação interrompida: nada foi modificado.");
        break;
    case NetworkChangeResult::kOnlyAddressTaken:
        std::snprintf(text, sizeof text,
                      "O endereço foi modificado, mas a baud rate não: o Equipamento responde no endereço %d "
                      "e baud rate %d.\n\nO Configurador passou a usar esse endereço e baud rate. "
                      "Modifique a baud rate de novo.",
                      change.newAddress, oldBaud);
        break;
    case NetworkChangeResult::kNotTaken:
        std::snprintf(text, sizeof text,
                      "O Equipamento não confirmou a modificação e continua no endereço %d e baud rate %d.\n\n"
                      "O Configurador continua usando esse endereço e baud rate. Tente modificar de novo.",
                      change.oldAddress, oldBaud);
        break;
    case NetworkChangeResult::kNotFound:
        std::snprintf(text, sizeof text,
                      "O Equipamento não confirmou a modificação (%s) e não responde nem no endereço %d e baud "
                      "rate %d (novos) nem no endereço %d e baud rate %d (anteriores).\n\n"
                      "Ele pode estar em qualquer um dos dois. O Configurador continua no endereço e baud rate "
                      "anteriores. Verifique a ligação e execute a Busca Automática do Orvi com o Equipamento "
                      "ponto a ponto.",
                      LinkErrorText(change.error), change.newAddress, newBaud, change.oldAddress, oldBaud);
        break;
    case NetworkChangeResult::kConfirmed:
        std::snprintf(text, sizeof text,
                      "Parâmetros modificados e confirmados: o Equipamento responde no endereço %d e baud rate %d.",
                      change.newAddress, newBaud);
        break;
    case NetworkChangeResult::kNothingToChange: break;
    }
    return text;
}

NetworkChangeAftermath AftermathOf(NetworkChangeResult result) {
    switch (result) {
    case NetworkChangeResult::kNothingToChange:
    case NetworkChangeResult::kAddressInUse:
    case NetworkChangeResult::kStopped: return NetworkChangeAftermath::kKeep;
    case NetworkChangeResult::kNoReply: return NetworkChangeAftermath::kReadFailed;
    default: return NetworkChangeAftermath::kLineMoved;  // even kNotTaken: a write went out unconfirmed
    }
}
