// Function 3, 6, 0x70 and 0x71 handling of a simulated transmitter, and the faults it commits on request.
#include "request_answer.h"

#include "crc16.h"

namespace orvisim {

namespace {

constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kWriteHolding = 0x06;
constexpr std::uint8_t kReadPrivate = 0x70;
constexpr std::uint8_t kWritePrivate = 0x71;

constexpr std::uint8_t kIllegalFunction = 1;
constexpr std::uint8_t kIllegalAddress = 2;
constexpr std::uint8_t kIllegalValue = 3;
constexpr std::uint8_t kDeviceFailure = 4;

constexpr int kMaxReadCount = 125;  // a longer reply would not fit its one-byte length

int Word(const std::uint8_t* bytes) { return (bytes[0] << 8) | bytes[1]; }

void PushWord(std::vector<std::uint8_t>& out, std::uint16_t word) {
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

std::vector<std::uint8_t> ExceptionReply(int address, std::uint8_t function, std::uint8_t code) {
    std::vector<std::uint8_t> reply = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(function | 0x80),
                                       code};
    AppendCrc(reply);
    return reply;
}

// The request's first six bytes with another value, re-checksummed: a write's echo.
std::vector<std::uint8_t> Echo(const std::uint8_t* request, int address, std::uint16_t value) {
    std::vector<std::uint8_t> reply(request, request + 4);
    reply[0] = static_cast<std::uint8_t>(address);
    PushWord(reply, value);
    AppendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> ReadHolding(Transmitter& t, const std::uint8_t* request, std::uint64_t nowMs) {
    const int start = Word(request + 2);
    const int count = Word(request + 4);
    if (count == 0 || count > kMaxReadCount) return ExceptionReply(t.Address(), kReadHolding, kIllegalValue);
    if (start + count > kRegisterCount) return ExceptionReply(t.Address(), kReadHolding, kIllegalAddress);
    t.Refresh(nowMs);
    std::vector<std::uint8_t> reply = {static_cast<std::uint8_t>(t.Address()), kReadHolding,
                                       static_cast<std::uint8_t>(2 * count)};
    for (int reg = start; reg < start + count; ++reg) {
        const std::uint16_t value = t.Register(reg);
        PushWord(reply, t.ReadsDiffer(reg) ? static_cast<std::uint16_t>(value + 1) : value);
    }
    AppendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> WriteHolding(Transmitter& t, const std::uint8_t* request, bool mismatch, Answer& answer) {
    const int reg = Word(request + 2);
    const std::uint16_t value = static_cast<std::uint16_t>(Word(request + 4));
    if (reg >= kRegisterCount) return ExceptionReply(t.Address(), kWriteHolding, kIllegalAddress);
    if (reg == kRegAddress) {
        if (value < 1 || value > 247) return ExceptionReply(t.Address(), kWriteHolding, kIllegalValue);
        answer.newAddress = value;
    } else if (reg == kRegBaudCode) {
        if (value > 4) return ExceptionReply(t.Address(), kWriteHolding, kIllegalValue);
        answer.newBaudCode = value;
    } else {
        t.SetRegister(reg, value);
    }
    t.SetReadsDiffer(reg, mismatch);
    return Echo(request, t.Address(), value);
}

std::vector<std::uint8_t> ReadPrivate(Transmitter& t, const std::uint8_t* request) {
    const int number = Word(request + 2);
    if (!t.HasPrivate(number)) return ExceptionReply(t.Address(), kReadPrivate, kIllegalAddress);
    std::vector<std::uint8_t> reply = {static_cast<std::uint8_t>(t.Address()), kReadPrivate};
    PushWord(reply, t.Private(number));
    AppendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> WritePrivate(Transmitter& t, const std::uint8_t* request) {
    const int number = Word(request + 2);
    const std::uint16_t value = static_cast<std::uint16_t>(Word(request + 4));
    if (!t.HasPrivate(number)) return ExceptionReply(t.Address(), kWritePrivate, kIllegalAddress);
    t.SetPrivate(number, value);
    return Echo(request, t.Address(), value);
}

// The fault touches this request: mismatch only register writes, badecho only writes.
bool FaultApplies(FaultMode mode, std::uint8_t function) {
    if (mode == FaultMode::Mismatch) return function == kWriteHolding;
    if (mode == FaultMode::BadEcho) return function == kWriteHolding || function == kWritePrivate;
    return mode != FaultMode::None;
}

void Reframe(std::vector<std::uint8_t>& reply) {
    reply.resize(reply.size() - 2);
    AppendCrc(reply);
}

}  // namespace

Answer AnswerRequest(Transmitter& t, const std::uint8_t* request, std::uint64_t nowMs) {
    Answer answer;
    const std::uint8_t function = request[1];
    const FaultMode fault =
        t.Fault().Active() && FaultApplies(t.Fault().mode, function) ? t.Fault().mode : FaultMode::None;
    if (fault != FaultMode::None) t.Fault().Consume();

    switch (fault) {
    case FaultMode::Silent: answer.silent = true; return answer;
    case FaultMode::Exception: answer.bytes = ExceptionReply(t.Address(), function, kDeviceFailure); return answer;
    case FaultMode::BadEcho:
        answer.bytes = Echo(request, t.Address(), static_cast<std::uint16_t>(Word(request + 4) + 1));
        return answer;
    default: break;
    }

    switch (function) {
    case kReadHolding: answer.bytes = ReadHolding(t, request, nowMs); break;
    case kWriteHolding: answer.bytes = WriteHolding(t, request, fault == FaultMode::Mismatch, answer); break;
    case kReadPrivate: answer.bytes = ReadPrivate(t, request); break;
    case kWritePrivate: answer.bytes = WritePrivate(t, request); break;
    default: answer.bytes = ExceptionReply(t.Address(), function, kIllegalFunction); break;
    }

    std::vector<std::uint8_t>& bytes = answer.bytes;
    switch (fault) {
    case FaultMode::BadCrc: bytes.back() = static_cast<std::uint8_t>(bytes.back() ^ 0xFF); break;
    case FaultMode::WrongAddr:
        bytes[0] = static_cast<std::uint8_t>(bytes[0] + 1);
        Reframe(bytes);
        break;
    case FaultMode::Echo:
        bytes.insert(bytes.begin(), request, request + kRequestSize);
        answer.bytesAhead = true;
        break;
    case FaultMode::Stray: {
        const std::uint8_t stray[] = {0xA5, 0x00, 0xFF};
        bytes.insert(bytes.begin(), stray, stray + 3);
        answer.bytesAhead = true;
        break;
    }
    case FaultMode::Short: bytes.resize(bytes.size() - 2); break;
    case FaultMode::Late: answer.extraDelayMs = kLateReplyMs; break;
    default: break;
    }
    return answer;
}

}  // namespace orvisim
