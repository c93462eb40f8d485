// The scripted serial device used by the native link tests.
#include "scripted_serial_device.h"

#include <algorithm>
#include <cstring>

#include "link_platform.h"
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

bool ScriptedSerialDevice::Configure(const char* modeString, int32_t lineBaud) {
    events.push_back(std::string("configure ") + modeString + " " + std::to_string(lineBaud));
    return acceptSettings;
}

void ScriptedSerialDevice::SelectEvents(bool on) { events.push_back(on ? "events on" : "events off"); }

void ScriptedSerialDevice::SetQueues(uint32_t in, uint32_t out) {
    events.push_back("queues " + std::to_string(in) + " " + std::to_string(out));
}

void ScriptedSerialDevice::SetRts(bool high) {
    rts = high;
    events.push_back(high ? "rts 1" : "rts 0");
}

void ScriptedSerialDevice::Purge(bool rx, bool tx) {
    events.push_back(std::string("purge") + (rx ? " rx" : "") + (tx ? " tx" : ""));
}

void ScriptedSerialDevice::SetReadTimeouts(const ReadTimeouts& t) {
    timeouts = t;
    events.push_back("timeouts");
}

void ScriptedSerialDevice::Write(const uint8_t* bytes, size_t count) {
    written.emplace_back(bytes, bytes + count);
    events.push_back("write");
}

bool ScriptedSerialDevice::WaitTransmitEmpty(uint32_t boundMs) {
    transmitBounds.push_back(boundMs);
    events.push_back("txempty");
    return true;
}

size_t ScriptedSerialDevice::Read(uint8_t* buffer, size_t maxCount) {
    readSizes.push_back(maxCount);
    events.push_back("read");
    Bytes reply;
    if (!replies.empty()) {
        reply = replies.front();
        replies.pop_front();
    } else if (answer && !written.empty()) {
        reply = answer(written.back());
    }
    const size_t n = std::min(reply.size(), maxCount);
    if (n) std::memcpy(buffer, reply.data(), n);
    return n;
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
