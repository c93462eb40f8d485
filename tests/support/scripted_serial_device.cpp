// The scripted serial device used by the native link tests.
#include "scripted_serial_device.h"

#include <algorithm>
#include <cstring>

#include "rtu_frame.h"

ScriptedSerialDevice::ScriptedSerialDevice() : openable({"COM1", "COM2", "COM3", "COM4"}) {}

size_t ScriptedSerialDevice::WritesWithFunction(uint8_t function) const {
    return static_cast<size_t>(std::count_if(written.begin(), written.end(),
                                             [function](const Bytes& f) { return f.size() > 1 && f[1] == function; }));
}

bool ScriptedSerialDevice::Open(const char* portName) {
    events.push_back(std::string("open ") + portName);
    if (!openable.count(portName)) return false;
    open_ = true;
    openName = portName;
    return true;
}

bool ScriptedSerialDevice::Configure(const char* modeString, int32_t baud) {
    events.push_back(std::string("configure ") + modeString + " " + std::to_string(baud));
    lineBaud = baud;
    return acceptSettings;
}

void ScriptedSerialDevice::SelectEvents(bool on) { events.push_back(on ? "events on" : "events off"); }

void ScriptedSerialDevice::SetQueues(uint32_t in, uint32_t out) {
    events.push_back("queues " + std::to_string(in) + " " + std::to_string(out));
}

void ScriptedSerialDevice::SetRts(bool high) {
    rtsAsked_ = high;
    if (!rtsWaitsForDtr) PutRtsOnLine(high);
    events.push_back(high ? "rts 1" : "rts 0");
}

void ScriptedSerialDevice::ReassertDtr() {
    PutRtsOnLine(rtsAsked_);
    events.push_back("dtr 1");
}

void ScriptedSerialDevice::PutRtsOnLine(bool high) {
    if (rts && !high) rtsDropUs.push_back(nowUs);
    rts = high;
}

void ScriptedSerialDevice::Purge(bool rx, bool tx) {
    if (rx) input.clear();
    events.push_back(std::string("purge") + (rx ? " rx" : "") + (tx ? " tx" : ""));
}

bool ScriptedSerialDevice::SetReadTimeouts(const ReadTimeouts& t) {
    timeouts = t;
    events.push_back("timeouts");
    return acceptTimeouts;
}

bool ScriptedSerialDevice::SetWriteTimeouts(const WriteTimeouts& t) {
    writeTimeouts = t;
    events.push_back("write timeouts");
    return acceptTimeouts;
}

bool ScriptedSerialDevice::Write(const uint8_t* bytes, size_t count) {
    events.push_back("write");
    if (!acceptWrites) return false;
    written.emplace_back(bytes, bytes + count);
    writeUs.push_back(nowUs);
    rtsAtWrite.push_back(rts);
    lineClearUs.push_back(nowUs + count * ByteTimeUs());
    replyPending_ = true;
    return true;
}

bool ScriptedSerialDevice::WaitTransmitEmpty(uint32_t boundMs) {
    transmitBounds.push_back(boundMs);
    events.push_back("txempty");
    if (drains) return true;
    nowUs += static_cast<uint64_t>(boundMs) * 1000u;
    return false;
}

// The reply of the last request arrives in full at the first read after it; a read then takes what
// has arrived, spending the bytes' line time, and a short one also its time-out.
size_t ScriptedSerialDevice::Read(uint8_t* buffer, size_t maxCount) {
    readSizes.push_back(maxCount);
    events.push_back("read");
    if (replyPending_) {
        replyPending_ = false;
        Bytes reply;
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        } else if (answer && !written.empty()) {
            reply = answer(written.back());
        }
        if (!written.empty() && echoBytes != 0) {
            const Bytes& request = written.back();
            const size_t echoed = echoBytes < 0 ? request.size() : std::min(request.size(), size_t(echoBytes));
            input.insert(input.end(), request.begin(), request.begin() + static_cast<std::ptrdiff_t>(echoed));
        }
        input.insert(input.end(), aheadOfReply.begin(), aheadOfReply.end());
        input.insert(input.end(), reply.begin(), reply.end());
        if (!reply.empty()) {
            pendingErrors.frame += errorsPerReply.frame;
            pendingErrors.parity += errorsPerReply.parity;
            pendingErrors.overrun += errorsPerReply.overrun;
            pendingErrors.breaks += errorsPerReply.breaks;
        }
    }
    const size_t n = std::min(input.size(), maxCount);
    if (n) std::memcpy(buffer, input.data(), n);
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
    nowUs += n * ByteTimeUs();
    if (n) lastByteUs = nowUs;
    if (n < maxCount) nowUs += 1000u * (n ? timeouts.intervalMs : timeouts.perByteMs * maxCount + timeouts.constantMs);
    return n;
}

size_t ScriptedSerialDevice::ReadWaiting(uint8_t* buffer, size_t maxCount) {
    const size_t n = std::min(input.size(), maxCount);
    if (n) std::memcpy(buffer, input.data(), n);
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

bool ScriptedSerialDevice::TakeLineErrors(DriverErrorCounts* counts) {
    if (!countsErrors) return false;
    counts->frame += pendingErrors.frame;
    counts->parity += pendingErrors.parity;
    counts->overrun += pendingErrors.overrun;
    counts->breaks += pendingErrors.breaks;
    pendingErrors = DriverErrorCounts();
    return true;
}

void ScriptedSerialDevice::Close() {
    events.push_back("close");
    open_ = false;
}

Bytes WithCrc(Bytes frame) {
    const uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}
