// How a write ended, and who is told of it.
#pragma once
#include <cstdint>
#include <functional>
#include "link_error.h"

// How a write ended, as far as the master can tell. Only kConfirmed says the transmitter holds the
// value; kNotConfirmed and kNoReply say it may.
enum class WriteOutcomeKind : uint8_t {
    kConfirmed,     // echoed, and read back as written
    kNotConfirmed,  // echoed, but read back otherwise or not at all
    kNoReply,       // the request left and no valid answer came
    kRefused,       // the transmitter answered with an exception
    kNotSent,       // nothing left: another transaction was running
};
struct WriteOutcome {
    WriteOutcomeKind kind = WriteOutcomeKind::kNotSent;
    LinkError error = kLinkTimeout;  // the transaction's result, kLinkOk only when confirmed
    bool hasReadBack = false;
    int16_t readBack = 0;
    uint8_t exceptionCode = 0;  // with kRefused
    // The device address and rate the request went out at: the line may have moved since.
    uint8_t address = 0;
    int32_t baudRate = 0;
};

// Told of every register (function 6) or private (0x71) write when it ends, with its outcome: a
// program that keeps a record of its writes sets one; nullptr (the start) tells no one.
typedef std::function<void(uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome)> WriteObserver;
