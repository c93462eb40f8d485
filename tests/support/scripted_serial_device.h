// A serial device for tests: it records what the link does and answers from a script.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "line_clock.h"
#include "line_evidence.h"
#include "serial_device.h"

typedef std::vector<uint8_t> Bytes;

// It also models what a pseudo-terminal hides, on a fake clock (nowUs) that only the link's waits
// and the modelled line move: the driver hands a write to the UART's FIFO at once (its output queue
// reads empty straight away) while the bytes leave at the line speed, and replies take their line time.
class ScriptedSerialDevice : public SerialDevice {
public:
    ScriptedSerialDevice();

    // Script: which names open, whether the line settings and time-outs are accepted, and what
    // arrives after each request.
    std::set<std::string> openable;
    bool acceptSettings = true;
    bool acceptTimeouts = true;
    bool acceptWrites = true;
    bool togglesRts = false;                            // the driver drives RTS itself (kernel RS-485)
    bool rtsWaitsForDtr = false;                        // an RTS change goes out only with the next DTR set
    bool drains = true;                                 // false: the output queue never reports empty
    std::deque<Bytes> replies;                          // one per request; an empty entry is silence
    std::function<Bytes(const Bytes& request)> answer;  // used when no scripted reply is left
    Bytes input;                                        // bytes arrived and not yet read
    // What the line adds to each request's reply, as an adapter or the wiring would: the request's
    // echo (echoBytes of it; -1: whole), then the bytes ahead (a 0x00 break), then the reply, if any.
    int echoBytes = 0;
    Bytes aheadOfReply;
    // The driver's line error counters (countsErrors false: a system that gives none); each reply
    // put on the line adds errorsPerReply.
    bool countsErrors = false;
    DriverErrorCounts errorsPerReply;
    DriverErrorCounts pendingErrors;

    // Record.
    std::vector<std::string> events;  // "open COM1", "configure COM1:9600,n,8,1 19200", "rts 1", ...
    std::vector<Bytes> written;
    std::vector<size_t> readSizes;
    std::vector<uint32_t> transmitBounds;
    std::vector<uint64_t> lineClearUs;  // per write: when its last stop bit has left the line
    std::vector<uint64_t> rtsDropUs;    // when RTS went low on the line
    std::vector<bool> rtsAtWrite;       // RTS on the line as each write began
    std::vector<uint64_t> writeUs;      // when each write began
    uint64_t lastByteUs = 0;            // when the last byte read had arrived
    ReadTimeouts timeouts = {0, 0, 0};
    WriteTimeouts writeTimeouts = {0, 0};
    bool rts = false;  // on the line, which may lag what the link asked for
    int32_t lineBaud = 9600;
    uint64_t nowUs = 1000000;
    std::string openName;

    size_t WritesWithFunction(uint8_t function) const;

    bool Open(const char* portName) override;
    bool Configure(const char* modeString, int32_t lineBaud) override;
    bool TogglesRts() const override { return togglesRts; }
    void SelectEvents(bool on) override;
    void SetQueues(uint32_t inputBytes, uint32_t outputBytes) override;
    void SetRts(bool high) override;
    void ReassertDtr() override;
    void Purge(bool receiveSide, bool transmitSide) override;
    bool SetReadTimeouts(const ReadTimeouts& t) override;
    bool SetWriteTimeouts(const WriteTimeouts& t) override;
    bool Write(const uint8_t* bytes, size_t count) override;
    bool WaitTransmitEmpty(uint32_t boundMs) override;
    size_t Read(uint8_t* buffer, size_t maxCount) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    size_t ReadWaiting(uint8_t* buffer, size_t maxCount) override;
    bool TakeLineErrors(DriverErrorCounts* counts) override;

private:
    uint64_t ByteTimeUs() const { return 10000000u / static_cast<uint64_t>(lineBaud); }
    void PutRtsOnLine(bool high);
    bool open_ = false;
    bool rtsAsked_ = false;      // the level of the last SetRts
    bool replyPending_ = false;  // a request was written and its reply not yet put on the line
};

// A line's clock on a scripted device's fake clock: waits move it, as the native platform's do.
class ScriptedClock : public LineClock {
public:
    explicit ScriptedClock(ScriptedSerialDevice& device) : device_(device) {}
    uint64_t NowUs() override { return device_.nowUs; }
    void DelayMs(uint32_t ms) override {
        device_.events.push_back("delay " + std::to_string(ms));
        device_.nowUs += static_cast<uint64_t>(ms) * 1000u;
    }

private:
    ScriptedSerialDevice& device_;
};

// Appends a Modbus CRC (low byte first) to a frame.
Bytes WithCrc(Bytes frame);
