// Building a request frame, reading its reply and checking the reply in a fixed order.
#include "rtu_frame.h"

#include <cstring>

#include "comm_settings.h"
#include "link_platform.h"
#include "serial_port.h"

bool acceptAnyAddress = false;

namespace {
enum { kRequestMax = 8, kStrayBytesAllowed = 8, kReceiveSize = 255 + kStrayBytesAllowed };

struct FrameState {
    uint8_t request[kRequestMax];
    size_t requestLength;
    uint8_t receive[kReceiveSize];
    uint16_t crc;
    uint16_t* destination;
    uint16_t wordsWanted;  // room at the destination
    int16_t requestValue;
    uint8_t expectedLength;
    LinkError lastError;
};

FrameState frame;

// Line time of a frame in ms (10 bits a byte), plus a margin for the driver and the scheduler.
uint32_t TransmitBoundMs(size_t bytes) {
    const int32_t baud = LineBaud(commSettings.baudRate);
    return static_cast<uint32_t>((bytes * 10u * 1000u + static_cast<uint32_t>(baud) - 1) / static_cast<uint32_t>(baud)) + 50u;
}

uint8_t ExpectedLength(uint8_t functionCode, uint16_t count) {
    switch (functionCode) {
        case 1: case 2: case 3: case 4: {
            const unsigned length = 2u * count + 5u;
            return length > 255u ? 0 : static_cast<uint8_t>(length);
        }
        case 5: case 6: case 0x71: return 8;
        case 0x70: return 6;
        default: return 0;  // no transaction sends these; the reply is then not read
    }
}

LinkError CheckDataReply() {
    // A frame shorter than address, function, count and CRC has no byte count to trust.
    if (frame.expectedLength < 5) return kLinkBadByteCount;
    const uint8_t byteCount = ReplyByte(2);
    if (byteCount == 0) return kLinkBadByteCount;
    unsigned words = (byteCount + 1u) / 2u;
    // Never store more words than the request asked for, and never read past the reply.
    if (words > frame.wordsWanted) words = frame.wordsWanted;
    const unsigned wordsInReply = (frame.expectedLength - 5u) / 2u;
    if (words > wordsInReply) words = wordsInReply;
    if (frame.destination)
        for (unsigned k = 0; k < words; ++k) frame.destination[k] = ReplyWord(static_cast<uint8_t>(3 + 2 * k));
    return kLinkOk;
}

LinkError CheckWriteEcho() {
    if (ReplyWord(2) > 255) return kLinkBadRegister;
    if (ReplySignedWord(4) != frame.requestValue) return kLinkValueMismatch;
    return kLinkOk;
}

LinkError CheckFunction() {
    const uint8_t function = ReplyByte(1);
    if (function == 0 || function >= 0xF2) return kLinkBadFunction;
    switch (function) {
        case 1: case 2: case 3: case 4:
            return CheckDataReply();
        case 5: {
            const uint16_t coil = ReplyWord(4);
            return (coil == 0xFF00 || coil == 0x0000) ? kLinkOk : kLinkValueMismatch;
        }
        case 6: case 0x71:
            return CheckWriteEcho();
        case 0x70:
            if (frame.destination && frame.wordsWanted > 0) frame.destination[0] = ReplyWord(2);
            return kLinkOk;
        case 0x81: case 0x83: case 0x84: case 0x85: case 0x86: case 0xF0: case 0xF1:
            return kLinkException;
        default:
            return kLinkBadFunction;
    }
}
}  // namespace

void Crc16Update(uint8_t byte) {
    frame.crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (frame.crc & 1u) != 0;
        frame.crc = static_cast<uint16_t>(frame.crc >> 1);
        if (carry) frame.crc ^= 0xA001;
    }
}

uint16_t Crc16(const uint8_t* bytes, size_t count) {
    const uint16_t saved = frame.crc;
    frame.crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) Crc16Update(bytes[i]);
    const uint16_t crc = frame.crc;
    frame.crc = saved;
    return crc;
}

uint8_t ReplyByte(uint8_t position) { return frame.receive[position]; }

uint16_t ReplyWord(uint8_t position) {
    return static_cast<uint16_t>((frame.receive[position] << 8) | frame.receive[position + 1]);
}

int16_t ReplySignedWord(uint8_t position) { return static_cast<int16_t>(ReplyWord(position)); }

const uint8_t* LastRequest(size_t* length) {
    *length = frame.requestLength;
    return frame.request;
}

void SendRequest(uint16_t reg, uint16_t count, uint8_t functionCode, int16_t value, uint16_t* destination) {
    SerialDevice& device = PortDevice();
    frame.destination = destination;
    frame.wordsWanted = functionCode == 0x70 ? 1 : count;
    frame.requestValue = value;
    frame.crc = 0xFFFF;
    if (device.IsOpen()) device.Purge(false, true);

    uint8_t* out = frame.request;
    out[0] = commSettings.deviceAddress;
    out[1] = functionCode;
    size_t length = 2;
    const uint16_t word = static_cast<uint16_t>(value);
    switch (functionCode) {
        case 1: case 2: case 3: case 4:
            out[2] = static_cast<uint8_t>(reg >> 8); out[3] = static_cast<uint8_t>(reg);
            out[4] = static_cast<uint8_t>(count >> 8); out[5] = static_cast<uint8_t>(count);
            length = 6;
            break;
        case 5: case 6: case 0x71:
            out[2] = static_cast<uint8_t>(reg >> 8); out[3] = static_cast<uint8_t>(reg);
            out[4] = static_cast<uint8_t>(word >> 8); out[5] = static_cast<uint8_t>(word);
            length = 6;
            break;
        case 0x70:
            out[2] = static_cast<uint8_t>(reg >> 8); out[3] = static_cast<uint8_t>(reg);
            out[4] = 0; out[5] = 0;
            length = 6;
            break;
        default:
            break;
    }
    for (size_t i = 0; i < length; ++i) Crc16Update(out[i]);
    out[length++] = static_cast<uint8_t>(frame.crc);
    out[length++] = static_cast<uint8_t>(frame.crc >> 8);
    frame.requestLength = length;

    RaiseRts();
    if (device.IsOpen()) {
        device.Write(out, length);
        device.WaitTransmitEmpty(TransmitBoundMs(length));
    }
    const uint32_t turnaround = TurnaroundMs(commSettings.baudRate);
    if (turnaround) DelayMs(turnaround);
    DropRts();
}

LinkError ReceiveReply(uint8_t functionCode, uint16_t count) {
    const uint8_t length = ExpectedLength(functionCode, count);
    frame.expectedLength = length;
    SerialDevice& device = PortDevice();
    if (length == 0 || !device.IsOpen()) return frame.lastError = kLinkTimeout;

    const size_t arrived = device.Read(frame.receive, static_cast<size_t>(length) + kStrayBytesAllowed);
    if (arrived < length) return frame.lastError = kLinkTimeout;
    // The reply is the last L bytes: an echo of the request or stray bytes ahead of it are dropped.
    if (arrived > length) std::memmove(frame.receive, frame.receive + (arrived - length), length);
    return CheckReply(length);
}

LinkError CheckReply(uint8_t length) {
    frame.lastError = kLinkOk;
    if (length < 4) return frame.lastError = kLinkTimeout;
    const uint16_t crc = Crc16(frame.receive, length - 2u);
    if (frame.receive[length - 2] != static_cast<uint8_t>(crc) || frame.receive[length - 1] != static_cast<uint8_t>(crc >> 8))
        return frame.lastError = kLinkBadCrc;
    if (!acceptAnyAddress && frame.receive[0] != commSettings.deviceAddress) return frame.lastError = kLinkWrongAddress;
    frame.expectedLength = length;
    return frame.lastError = CheckFunction();
}
