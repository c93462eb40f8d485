// A serial device for tests: it records what the link does and answers from a script.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "serial_device.h"

typedef std::vector<uint8_t> Bytes;

class ScriptedSerialDevice : public SerialDevice {
public:
    ScriptedSerialDevice();

    // Script: which names open, whether the line settings are accepted, and what each read returns.
    std::set<std::string> openable;
    bool acceptSettings = true;
    std::deque<Bytes> replies;                          // one per read; an empty entry is silence
    std::function<Bytes(const Bytes& request)> answer;  // used when no scripted reply is left

    // Record.
    std::vector<std::string> events;  // "open COM1", "configure COM1:9600,n,8,1 19200", "rts 1", ...
    std::vector<Bytes> written;
    std::vector<size_t> readSizes;
    std::vector<uint32_t> transmitBounds;
    ReadTimeouts timeouts = {0, 0, 0};
    bool rts = false;
    std::string openName;

    size_t WritesWithFunction(uint8_t function) const;

    bool Open(const char* portName) override;
    bool Configure(const char* modeString, int32_t lineBaud) override;
    void SelectEvents(bool on) override;
    void SetQueues(uint32_t inputBytes, uint32_t outputBytes) override;
    void SetRts(bool high) override;
    void Purge(bool receiveSide, bool transmitSide) override;
    void SetReadTimeouts(const ReadTimeouts& t) override;
    void Write(const uint8_t* bytes, size_t count) override;
    bool WaitTransmitEmpty(uint32_t boundMs) override;
    size_t Read(uint8_t* buffer, size_t maxCount) override;
    void Close() override;
    bool IsOpen() const override { return open_; }

private:
    bool open_ = false;
};

// Appends a Modbus CRC (low byte first) to a frame.
Bytes WithCrc(Bytes frame);
