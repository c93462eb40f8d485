// Building a request frame, reading its reply and checking the reply in a fixed order.
#include "rtu_frame.h"

#include <cstring>

#include "frame_codec.h"
#include "line.h"
#include "line_evidence.h"
#include "serial_port.h"

namespace {
enum { kStrayBytesAllowed = LineFrame::kStrayBytesAllowed };

// Line time of a frame in ms (10 bits a byte), plus a margin for the driver and the scheduler.
uint32_t TransmitBoundMs(const Line& line, size_t bytes) {
    return (LineTimeUs(bytes, line.settings.baudRate) + 999u) / 1000u + 50u;
}

uint8_t ExpectedLength(uint8_t functionCode, uint16_t count) {
    switch (functionCode) {
    case 1:
    case 2:
    case 3:
    case 4: {
        const unsigned length = 2u * count + 5u;
        return length > 255u ? 0 : static_cast<uint8_t>(length);
    }
    case 5:
    case 6:
    case 0x71: return 8;
    case 0x70: return 6;
    default: return 0;  // no transaction sends these; the reply is then not read
    }
}

LinkError CheckDataReply(Line& line) {
    LineFrame& frame = line.frame;
    // Exactly the words asked for, or nothing: a shorter reply would leave words never sent.
    const unsigned words = frame.wordsWanted;
    if (words == 0 || frame.expectedLength < 2u * words + 5u) return kLinkBadByteCount;
    if (ReplyByte(line, 2) != 2u * words) return kLinkBadByteCount;
    if (frame.destination)
        for (unsigned k = 0; k < words; ++k) frame.destination[k] = ReplyWord(line, static_cast<uint8_t>(3 + 2 * k));
    return kLinkOk;
}

LinkError CheckWriteEcho(const Line& line) {
    if (ReplyWord(line, 2) > 255) return kLinkBadRegister;
    if (static_cast<int16_t>(ReplyWord(line, 4)) != line.frame.requestValue) return kLinkValueMismatch;
    return kLinkOk;
}

// A reply answers only its own request: another function, even a valid frame, confirms nothing.
LinkError CheckFunction(Line& line) {
    LineFrame& frame = line.frame;
    const uint8_t function = ReplyByte(line, 1);
    if (function == (frame.requestFunction | 0x80u)) return kLinkException;
    if (function != frame.requestFunction) return kLinkBadFunction;
    switch (function) {
    case 1:
    case 2:
    case 3:
    case 4: return CheckDataReply(line);
    case 5: {
        const uint16_t coil = ReplyWord(line, 4);
        return (coil == 0xFF00 || coil == 0x0000) ? kLinkOk : kLinkValueMismatch;
    }
    case 6:
    case 0x71: return CheckWriteEcho(line);
    case 0x70:
        if (frame.expectedLength < 6) return kLinkBadByteCount;
        if (frame.destination && frame.wordsWanted > 0) frame.destination[0] = ReplyWord(line, 2);
        return kLinkOk;
    default: return kLinkBadFunction;
    }
}

LineEcho KnownLineEcho(const Line& line) {
    return line.frame.echoOpening == line.openings ? line.frame.lineEcho : LineEcho::kUnknown;
}

void LearnLineEcho(Line& line, LineEcho echo) {
    line.frame.lineEcho = echo;
    line.frame.echoOpening = line.openings;
}

// What the bytes of one read tell about the line (before the reply is moved to the front): a copy
// of the request ahead of the reply is its echo.
bool EchoAhead(const LineFrame& frame, size_t arrived, uint8_t length) {
    return arrived >= frame.requestLength + length &&
           std::memcmp(frame.receive, frame.request, frame.requestLength) == 0;
}

// A good read reply (never equal to its request) with nothing ahead shows a line without echo.
void LearnFromReply(Line& line, bool echoAhead, size_t arrived, uint8_t length, LinkError result) {
    const LineFrame& frame = line.frame;
    if (echoAhead)
        LearnLineEcho(line, LineEcho::kPresent);
    else if (result == kLinkOk && arrived == length && frame.requestFunction != 6 && frame.requestFunction != 0x71)
        LearnLineEcho(line, LineEcho::kAbsent);
}

// True when the last `length` of the `count` bytes received form a frame whose CRC holds. A
// write's reply is a copy of its request, as its echo is: unless the line is known to have no
// echo, such a first frame ends the read only when the line goes quiet, so that an exception
// behind an echo is never taken for a confirmed write.
bool CompleteAt(const Line& line, size_t count, uint8_t length) {
    const LineFrame& frame = line.frame;
    if (count < length || length < 4) return false;
    if (count == length && length == frame.requestLength && std::memcmp(frame.receive, frame.request, length) == 0 &&
        KnownLineEcho(line) != LineEcho::kAbsent)
        return false;
    const uint8_t* tail = frame.receive + (count - length);
    const uint16_t crc = Crc16(tail, length - 2u);
    return tail[length - 2] == static_cast<uint8_t>(crc) && tail[length - 1] == static_cast<uint8_t>(crc >> 8);
}

// Reads until the last `length` bytes hold a complete reply, giving up as a read of length + 8
// bytes under the port's time-outs would: silence until its total time-out, or a pause longer
// than the interval. Only the first read runs under the port's own time-outs; the others are
// bounded reads of what may still come, so the port's time-outs are put back afterwards.
size_t ReadReply(Line& line, SerialDevice& device, uint8_t length) {
    LineFrame& frame = line.frame;
    const ReadTimeouts port = line.portReadTimeouts;
    bool retimed = false;
    size_t arrived = device.Read(frame.receive, length);
    if (arrived == 0 && port.perByteMs != 0) {
        // Nothing yet: wait the 8 byte-times more that a read of length + 8 bytes would have waited.
        device.SetReadTimeouts({port.intervalMs, 0, port.perByteMs * kStrayBytesAllowed});
        retimed = true;
        arrived = device.Read(frame.receive, length);
    }
    // A read that ends short ended on a time-out: the line has gone quiet.
    if (arrived == length && !CompleteAt(line, arrived, length)) {
        // An echo or stray bytes ahead of the reply: the rest comes a byte at a time, each within the interval.
        device.SetReadTimeouts({port.intervalMs, 0, port.intervalMs});
        retimed = true;
        while (arrived < static_cast<size_t>(length) + kStrayBytesAllowed && !CompleteAt(line, arrived, length)) {
            if (device.Read(frame.receive + arrived, 1) == 0) break;
            ++arrived;
        }
    }
    if (retimed) device.SetReadTimeouts(port);
    return arrived;
}

// Waits until the clock reads at least deadlineUs.
void WaitUntilUs(LineClock& clock, uint64_t deadlineUs) {
    const uint64_t now = clock.NowUs();
    if (now < deadlineUs) clock.DelayMs(static_cast<uint32_t>((deadlineUs - now + 999u) / 1000u));
}

// A frame ends after 3.5 character times of silence: the transmitter must see that gap before the
// next request (at least 2 ms, as Modbus asks above 19200 bit/s), counted from the end of the last reply,
// or from the end of the request when no reply came.
void WaitForQuietLine(Line& line) {
    LineFrame& frame = line.frame;
    const uint64_t since = frame.lineQuietSinceUs;
    if (since == 0 || line.Clock().NowUs() < since) return;  // nothing read yet on this clock
    uint64_t gapUs = LineTimeUs(35, line.settings.baudRate) / 10u;
    if (gapUs < 2000u) gapUs = 2000u;
    if (gapUs < 1000u * frame.extraQuietMs) gapUs = 1000u * frame.extraQuietMs;
    frame.extraQuietMs = 0;
    WaitUntilUs(line.Clock(), since + gapUs);
}
void Observe(const Line& line, FrameDirection direction, const uint8_t* bytes, size_t count) {
    if (line.frameObserver) line.frameObserver(direction, bytes, count);
}

// Every reply's result is counted where it is decided.
LinkError Failed(Line& line, LinkError error) {
    line.frame.lastError = error;
    if (error < LineCounters::kErrorCodes) ++line.counters.failures[error];
    return error;
}

LinkError Checked(Line& line, LinkError result) {
    if (result == kLinkOk) {
        line.frame.lastError = kLinkOk;
        ++line.counters.goodReplies;
        return result;
    }
    return Failed(line, result);
}

uint16_t Crc16Step(uint16_t crc, uint8_t byte) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (crc & 1u) != 0;
        crc = static_cast<uint16_t>(crc >> 1);
        if (carry) crc ^= 0xA001;
    }
    return crc;
}

// Takes what waits in the input before a request (nobody of ours asked for it) and the driver's
// line errors since the last look, so that they count for the line and not for the next reply.
void CollectBeforeRequest(Line& line, SerialDevice& device) {
    LineEvidence& evidence = line.evidence;
    if (!evidence.collecting) return;
    uint8_t waiting[64];
    const size_t count = device.ReadWaiting(waiting, sizeof waiting);
    if (count) NoteUnasked(evidence, waiting, count, line.frame.request, line.frame.requestLength);
    evidence.driverCounts = device.TakeLineErrors(&evidence.driver) || evidence.driverCounts;
}

// The driver's line errors during one read: whether any came.
bool LineErrorsDuring(Line& line, SerialDevice& device) {
    LineEvidence& evidence = line.evidence;
    const uint32_t before = evidence.driver.Total();
    evidence.driverCounts = device.TakeLineErrors(&evidence.driver) || evidence.driverCounts;
    return evidence.driver.Total() != before;
}

void NoteHeard(Line& line, const ReplyLead& lead, size_t arrived, uint8_t length, LinkError result, uint32_t endUs,
               bool lineErrors, uint8_t gatewayException) {
    const LineFrame& frame = line.frame;
    const size_t replyBytes = arrived < length ? arrived : length;
    const ReplyHeard heard = {frame.request, frame.requestLength,
                              frame.receive, arrived,
                              length,        result,
                              endUs,         LineTimeUs(replyBytes, line.settings.baudRate),
                              lineErrors,    gatewayException};
    NoteReply(line.evidence, lead, heard);
}

// A codec knows where its reply ends, so the reply is exactly what it returns: an exception
// reply shorter than a good one is checked as the exception it is.
LinkError ReceiveThroughCodec(Line& line, FrameCodec& codec, SerialDevice& device, uint8_t length) {
    LineFrame& frame = line.frame;
    const size_t arrived = codec.Receive(device, frame.receive, sizeof frame.receive, length);
    Observe(line, FrameDirection::Received, frame.receive, arrived);
    line.evidence.networkLine = true;
    const LinkError result =
        arrived < 4 || arrived > 255 ? Failed(line, kLinkTimeout) : CheckReply(line, static_cast<uint8_t>(arrived));
    if (line.evidence.collecting)
        NoteHeard(line, ReplyLead(), arrived, static_cast<uint8_t>(arrived < 256 ? arrived : 255), result, 0, false,
                  arrived == 0 ? codec.LastGatewayException() : 0);
    return result;
}
}  // namespace

void HoldLineQuiet(Line& line, uint32_t ms) {
    if (ms > line.frame.extraQuietMs) line.frame.extraQuietMs = ms;
}

uint16_t Crc16(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) crc = Crc16Step(crc, bytes[i]);
    return crc;
}

uint8_t ReplyByte(const Line& line, uint8_t position) { return line.frame.receive[position]; }

uint16_t ReplyWord(const Line& line, uint8_t position) {
    const uint8_t* receive = line.frame.receive;
    return static_cast<uint16_t>((receive[position] << 8) | receive[position + 1]);
}

void SendRequest(Line& line, uint16_t reg, uint16_t count, uint8_t functionCode, int16_t value, uint16_t* destination) {
    LineFrame& frame = line.frame;
    SerialDevice& device = line.Device();
    LineClock& clock = line.Clock();
    frame.destination = destination;
    frame.wordsWanted = functionCode == 0x70 ? 1 : count;
    frame.requestValue = value;
    frame.requestFunction = functionCode;
    frame.sent = false;

    uint8_t* out = frame.request;
    out[0] = line.settings.deviceAddress;
    out[1] = functionCode;
    size_t length = 2;
    const uint16_t word = static_cast<uint16_t>(value);
    switch (functionCode) {
    case 1:
    case 2:
    case 3:
    case 4:
        out[2] = static_cast<uint8_t>(reg >> 8);
        out[3] = static_cast<uint8_t>(reg);
        out[4] = static_cast<uint8_t>(count >> 8);
        out[5] = static_cast<uint8_t>(count);
        length = 6;
        break;
    case 5:
    case 6:
    case 0x71:
        out[2] = static_cast<uint8_t>(reg >> 8);
        out[3] = static_cast<uint8_t>(reg);
        out[4] = static_cast<uint8_t>(word >> 8);
        out[5] = static_cast<uint8_t>(word);
        length = 6;
        break;
    case 0x70:
        out[2] = static_cast<uint8_t>(reg >> 8);
        out[3] = static_cast<uint8_t>(reg);
        out[4] = 0;
        out[5] = 0;
        length = 6;
        break;
    default: break;
    }
    const uint16_t crc = Crc16(out, length);
    out[length++] = static_cast<uint8_t>(crc);
    out[length++] = static_cast<uint8_t>(crc >> 8);
    frame.requestLength = length;
    ++line.counters.requests;
    Observe(line, FrameDirection::Sent, out, length);
    // Another framing (a Modbus TCP gateway) has no line of its own here: no RTS, no line times.
    if (FrameCodec* codec = line.Codec()) {
        frame.sent = device.IsOpen() && codec->Send(device, out, length);
        return;
    }

    WaitForQuietLine(line);

    RaiseRts(line);
    if (device.IsOpen()) {
        // Bytes still queued from an earlier reply would be read as this request's reply.
        CollectBeforeRequest(line, device);
        device.Purge(true, true);
        const uint64_t writeStart = clock.NowUs();
        frame.sent = device.Write(out, length);
        if (frame.sent) {
            // An empty output queue proves little: drivers count bytes in the UART's FIFO as
            // sent, and Windows reports the queue empty at once after a write without overlapped
            // I/O. The line time is the guard: RTS stays up for it, plus one character for the
            // last stop bit and the adapter's latency.
            device.WaitTransmitEmpty(TransmitBoundMs(line, length));
            WaitUntilUs(clock, writeStart + LineTimeUs(length + 1, line.settings.baudRate));
        } else {
            device.Purge(false, true);
        }
    }
    const uint32_t turnaround = TurnaroundMs(line.settings.baudRate);
    if (turnaround) clock.DelayMs(turnaround);
    DropRts(line);
    frame.requestEndUs = clock.NowUs();
}

LinkError ReceiveReply(Line& line, uint8_t functionCode, uint16_t count) {
    LineFrame& frame = line.frame;
    const uint8_t length = ExpectedLength(functionCode, count);
    frame.expectedLength = length;
    frame.requestFunction = functionCode;
    SerialDevice& device = line.Device();
    if (length == 0 || !device.IsOpen() || !frame.sent) return Failed(line, kLinkTimeout);
    if (FrameCodec* codec = line.Codec()) return ReceiveThroughCodec(line, *codec, device, length);

    const size_t arrived = ReadReply(line, device, length);
    Observe(line, FrameDirection::Received, frame.receive, arrived);
    const uint64_t now = line.Clock().NowUs();
    // A read that heard nothing leaves the line quiet since the request left it: the whole wait
    // already counts towards the gap before the next request (an inventory's sweep lives on this).
    frame.lineQuietSinceUs = arrived == 0 && frame.requestEndUs != 0 ? frame.requestEndUs : now;
    const bool collecting = line.evidence.collecting;
    const ReplyLead lead =
        collecting ? ReadLead(frame.receive, arrived, frame.request, frame.requestLength, length) : ReplyLead();
    const bool lineErrors = collecting && LineErrorsDuring(line, device);
    const uint32_t endUs = now > frame.requestEndUs ? static_cast<uint32_t>(now - frame.requestEndUs) : 0u;
    if (arrived < length) {
        const LinkError failed = Failed(line, kLinkTimeout);
        if (collecting) NoteHeard(line, lead, arrived, length, failed, endUs, lineErrors, 0);
        return failed;
    }
    const bool echoAhead = EchoAhead(frame, arrived, length);
    // The reply is the last L bytes: an echo of the request or stray bytes ahead of it are dropped.
    if (arrived > length) std::memmove(frame.receive, frame.receive + (arrived - length), length);
    const LinkError result = CheckReply(line, length);
    LearnFromReply(line, echoAhead, arrived, length, result);
    if (collecting) NoteHeard(line, lead, arrived, length, result, endUs, lineErrors, 0);
    return result;
}

LinkError CheckReply(Line& line, uint8_t length) {
    LineFrame& frame = line.frame;
    if (length < 4) return Failed(line, kLinkTimeout);
    const uint16_t crc = Crc16(frame.receive, length - 2u);
    if (frame.receive[length - 2] != static_cast<uint8_t>(crc) ||
        frame.receive[length - 1] != static_cast<uint8_t>(crc >> 8))
        return Failed(line, kLinkBadCrc);
    if (!line.acceptAnyAddress && frame.receive[0] != line.settings.deviceAddress)
        return Failed(line, kLinkWrongAddress);
    frame.expectedLength = length;
    return Checked(line, CheckFunction(line));
}

uint8_t ReplyByte(uint8_t position) { return ReplyByte(ConfiguratorLine(), position); }

uint16_t ReplyWord(uint8_t position) { return ReplyWord(ConfiguratorLine(), position); }

int16_t ReplySignedWord(uint8_t position) { return static_cast<int16_t>(ReplyWord(position)); }

const uint8_t* LastRequest(size_t* length) {
    *length = ConfiguratorLine().frame.requestLength;
    return ConfiguratorLine().frame.request;
}

void SendRequest(uint16_t reg, uint16_t count, uint8_t functionCode, int16_t value, uint16_t* destination) {
    SendRequest(ConfiguratorLine(), reg, count, functionCode, value, destination);
}

LinkError ReceiveReply(uint8_t functionCode, uint16_t count) {
    return ReceiveReply(ConfiguratorLine(), functionCode, count);
}

LinkError CheckReply(uint8_t length) { return CheckReply(ConfiguratorLine(), length); }
