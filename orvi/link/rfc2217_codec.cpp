// Telnet framing and the COM-port option for RTU bytes on an RFC 2217 server.
#include "rfc2217_codec.h"

namespace {
// Line-state errors the server is asked to report; the other bits (data ready, registers empty)
// would come with nearly every byte.
const uint8_t kLinestateErrors = kLinestateOverrun | kLinestateParity | kLinestateFraming;

void AppendSub(uint8_t command, const Bytes& value, Bytes* out) {
    const uint8_t head[] = {kTelnetIac, kTelnetSb, kComPortOption, command};
    out->insert(out->end(), head, head + sizeof head);
    Rfc2217Stream::AppendData(value.data(), value.size(), out);
    out->push_back(kTelnetIac);
    out->push_back(kTelnetSe);
}

std::string ParityName(uint8_t parity) {
    switch (parity) {
    case 1: return "nenhuma";
    case 2: return "ímpar";
    case 3: return "par";
    case 4: return "marca";
    case 5: return "espaço";
    default: return "desconhecida (" + std::to_string(parity) + ")";
    }
}

std::string StopName(uint8_t stop) {
    switch (stop) {
    case 1: return "1";
    case 2: return "2";
    case 3: return "1,5";
    default: return "desconhecido (" + std::to_string(stop) + ")";
    }
}
}  // namespace

Bytes Rfc2217Stream::Opening() {
    return {kTelnetIac,    kTelnetWill, kComPortOption, kTelnetIac,   kTelnetWill,
            kTelnetBinary, kTelnetIac,  kTelnetDo,      kTelnetBinary};
}

void Rfc2217Stream::AppendData(const uint8_t* data, size_t count, Bytes* out) {
    for (size_t i = 0; i < count; ++i) {
        out->push_back(data[i]);
        if (data[i] == kTelnetIac) out->push_back(kTelnetIac);
    }
}

Bytes Rfc2217Stream::SetLine(uint32_t baud) {
    Bytes out;
    // The rate in four bytes, network order; a 0xFF among them is doubled like any other.
    AppendSub(kComPortSetBaudRate,
              {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16), static_cast<uint8_t>(baud >> 8),
               static_cast<uint8_t>(baud)},
              &out);
    AppendSub(kComPortSetDataSize, {kRtuDataSize}, &out);
    AppendSub(kComPortSetParity, {kParityNone}, &out);
    AppendSub(kComPortSetStopSize, {kStopSizeOne}, &out);
    AppendSub(kComPortSetControl, {1}, &out);  // no flow control
    AppendSub(kComPortSetLinestateMask, {kLinestateErrors}, &out);
    AppendSub(kComPortSetModemstateMask, {0}, &out);
    return out;
}

Bytes Rfc2217Stream::PurgeData(bool received, bool toSend) {
    Bytes out;
    AppendSub(kComPortPurgeData, {static_cast<uint8_t>((received ? 1 : 0) | (toSend ? 2 : 0))}, &out);
    return out;
}

bool Rfc2217Stream::LineAnswered() const {
    return confirmed_.baud != 0 && confirmed_.dataSize != 0 && confirmed_.parity != 0 && confirmed_.stopSize != 0;
}

// Options the client wants are already asked for in Opening, so a server's agreement needs no
// answer; suppressing go-ahead is agreed to either way, once; anything else is refused, once, as
// RFC 854 asks (no answer to a refusal).
void Rfc2217Stream::Negotiate(uint8_t verb, uint8_t option, Bytes* answer) {
    const bool wanted = option == kComPortOption || option == kTelnetBinary;
    switch (verb) {
    case kTelnetDo:
        if (option == kTelnetSuppressGoAhead) {
            if (!willSuppressGoAhead_) answer->insert(answer->end(), {kTelnetIac, kTelnetWill, option});
            willSuppressGoAhead_ = true;
        } else if (!wanted) {
            answer->insert(answer->end(), {kTelnetIac, kTelnetWont, option});
        }
        break;
    case kTelnetDont:
        if (option == kComPortOption) comPortRefused_ = true;
        break;
    case kTelnetWill:
        if (option == kTelnetSuppressGoAhead && !doneSuppressGoAhead_) {
            doneSuppressGoAhead_ = true;
            answer->insert(answer->end(), {kTelnetIac, kTelnetDo, option});
        } else if (!wanted && option != kTelnetSuppressGoAhead) {
            answer->insert(answer->end(), {kTelnetIac, kTelnetDont, option});
        }
        break;
    default: break;  // WONT: nothing to answer
    }
}

void Rfc2217Stream::EndSubnegotiation() {
    if (sub_.size() < 3 || sub_[0] != kComPortOption) {
        sub_.clear();
        return;
    }
    const uint8_t command = sub_[1];
    const uint8_t value = sub_[2];
    if (command == kComPortServerOffset + kComPortSetBaudRate && sub_.size() == 6)
        confirmed_.baud = (static_cast<uint32_t>(sub_[2]) << 24) | (static_cast<uint32_t>(sub_[3]) << 16) |
                          (static_cast<uint32_t>(sub_[4]) << 8) | sub_[5];
    // A value of 0 would be the answer to a question this client never asks: not a confirmation.
    if (command == kComPortServerOffset + kComPortSetDataSize && value) confirmed_.dataSize = value;
    if (command == kComPortServerOffset + kComPortSetParity && value) confirmed_.parity = value;
    if (command == kComPortServerOffset + kComPortSetStopSize && value) confirmed_.stopSize = value;
    if (command == kComPortServerOffset + kComPortNotifyLinestate) {
        if (value & kLinestateParity) ++errors_.parity;
        if (value & kLinestateFraming) ++errors_.framing;
        if (value & kLinestateOverrun) ++errors_.overrun;
    }
    sub_.clear();
}

void Rfc2217Stream::Feed(const uint8_t* in, size_t count, Bytes* data, Bytes* answer) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = in[i];
        switch (state_) {
        case State::kData:
            if (byte == kTelnetIac)
                state_ = State::kIac;
            else
                data->push_back(byte);
            break;
        case State::kIac:
            if (byte == kTelnetIac) {
                data->push_back(byte);
                state_ = State::kData;
            } else if (byte >= kTelnetWill) {
                verb_ = byte;
                state_ = State::kOption;
            } else if (byte == kTelnetSb) {
                sub_.clear();
                state_ = State::kSub;
            } else {
                state_ = State::kData;  // NOP, GA and the other two-byte commands carry nothing for the line
            }
            break;
        case State::kOption:
            Negotiate(verb_, byte, answer);
            state_ = State::kData;
            break;
        case State::kSub:
            if (byte == kTelnetIac)
                state_ = State::kSubIac;
            else if (sub_.size() < 64)
                sub_.push_back(byte);
            break;
        case State::kSubIac:
            if (byte == kTelnetSe) {
                EndSubnegotiation();
                state_ = State::kData;
            } else {
                if (sub_.size() < 64) sub_.push_back(byte);  // IAC IAC inside: one 0xFF
                state_ = State::kSub;
            }
            break;
        }
    }
}

std::string KeptSettingsText(uint32_t baud, const ComPortLine& confirmed) {
    std::vector<std::string> kept;
    if (confirmed.baud != baud)
        kept.push_back("a taxa de " + std::to_string(confirmed.baud) + " bit/s (pedida " + std::to_string(baud) + ")");
    if (confirmed.dataSize != kRtuDataSize)
        kept.push_back(std::to_string(confirmed.dataSize) + " bits de dados (pedidos 8)");
    if (confirmed.parity != kParityNone)
        kept.push_back("a paridade " + ParityName(confirmed.parity) + " (pedida nenhuma)");
    if (confirmed.stopSize != kStopSizeOne) kept.push_back(StopName(confirmed.stopSize) + " bits de parada (pedido 1)");
    std::string text;
    for (size_t i = 0; i < kept.size(); ++i) text += (i == 0 ? "o servidor manteve " : ", ") + kept[i];
    return text;
}
