// Opening one port by its full name behind the link's four-character port token.
#include "named_port_device.h"

#include <cstdio>
#include <cstring>

#include "platform.h"
#include "port_names.h"

NamedPortDevice::NamedPortDevice(SerialDevice& inner, const std::string& fullName)
    : inner_(inner), fullName_(fullName) {
    std::snprintf(token_, sizeof token_, "%s", PortNumber(fullName.c_str()) != 0 ? fullName.c_str() : "COM1");
}

bool NamedPortDevice::Open(const char* portName) {
    if (std::strcmp(portName, token_) != 0 || !openAllowed_) return false;
    openAllowed_ = false;
    if (inner_.Open(fullName_.c_str())) return true;
    NotePortOpenFailure();
    return false;
}

bool NamedPortDevice::Configure(const char* modeString, int32_t lineBaud) {
    return inner_.Configure(modeString, lineBaud);
}
bool NamedPortDevice::TogglesRts() const { return inner_.TogglesRts(); }
void NamedPortDevice::SelectEvents(bool on) { inner_.SelectEvents(on); }
void NamedPortDevice::SetQueues(uint32_t in, uint32_t out) { inner_.SetQueues(in, out); }
void NamedPortDevice::SetRts(bool high) { inner_.SetRts(high); }
void NamedPortDevice::ReassertDtr() { inner_.ReassertDtr(); }
void NamedPortDevice::Purge(bool rx, bool tx) { inner_.Purge(rx, tx); }
bool NamedPortDevice::SetReadTimeouts(const ReadTimeouts& timeouts) { return inner_.SetReadTimeouts(timeouts); }
bool NamedPortDevice::SetWriteTimeouts(const WriteTimeouts& timeouts) { return inner_.SetWriteTimeouts(timeouts); }
bool NamedPortDevice::Write(const uint8_t* bytes, size_t count) { return inner_.Write(bytes, count); }
bool NamedPortDevice::WaitTransmitEmpty(uint32_t boundMs) { return inner_.WaitTransmitEmpty(boundMs); }
size_t NamedPortDevice::Read(uint8_t* buffer, size_t maxCount) { return inner_.Read(buffer, maxCount); }
void NamedPortDevice::Close() { inner_.Close(); }
bool NamedPortDevice::IsOpen() const { return inner_.IsOpen(); }

size_t NamedPortDevice::ReadWaiting(uint8_t* buffer, size_t maxCount) { return inner_.ReadWaiting(buffer, maxCount); }

bool NamedPortDevice::TakeLineErrors(DriverErrorCounts* counts) { return inner_.TakeLineErrors(counts); }

int32_t NamedPortDevice::LatencyTimerMs(char* how, size_t room) { return inner_.LatencyTimerMs(how, room); }
