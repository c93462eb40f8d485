// Telnet framing and the COM-port option for RTU bytes on an RFC 2217 server.
#include "rfc2217_codec.h"

namespace {
void AppendSub(uint8_t command, const Bytes& value, Bytes* out) {
    const uint8_t head[] = {kTelnetIac, kTelnetSb, kComPortOption, command};
    out->insert(out->end(), head, head + sizeof head);
    Rfc2217Stream::AppendData(value.data(), value.size(), out);
    out->push_back(kTelnetIac);
    out->push_back(kTelnetSe);
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
    AppendSub(kComPortSetDataSize, {8}, &out);
    AppendSub(kComPortSetParity, {1}, &out);    // none
    AppendSub(kComPortSetStopSize, {1}, &out);  // one
    AppendSub(kComPortSetControl, {1}, &out);   // no flow control
    return out;
}

// Options the client wants are already asked for in Opening, so a server's agreement needs no
// answer; anything else is refused, once, as RFC 854 asks (no answer to a refusal).
void Rfc2217Stream::Negotiate(uint8_t verb, uint8_t option, Bytes* answer) {
    const bool wanted = option == kComPortOption || option == kTelnetBinary;
    switch (verb) {
    case kTelnetDo:
        if (!wanted) answer->insert(answer->end(), {kTelnetIac, kTelnetWont, option});
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
    if (sub_.size() == 6 && sub_[0] == kComPortOption && sub_[1] == kComPortServerOffset + kComPortSetBaudRate)
        confirmedBaud_ = (static_cast<uint32_t>(sub_[2]) << 24) | (static_cast<uint32_t>(sub_[3]) << 16) |
                         (static_cast<uint32_t>(sub_[4]) << 8) | sub_[5];
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
