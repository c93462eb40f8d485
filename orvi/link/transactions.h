// The device transactions: fixed requests with up to three tries each.
#pragma once
#include <cstdint>
#include "link_error.h"

LinkError ReadHolding(int8_t reg, uint16_t* destination);
LinkError ReadPrivate(int8_t address, uint16_t* destination);
LinkError ReadStatusBits(uint16_t* destination);
LinkError ReadConfigBlock(uint16_t* destination);  // 68 words
LinkError ReadLiveBlock(uint16_t* destination);    // 10 words
LinkError SearchReadIdentity(uint16_t* destination);
LinkError SearchReadAddress(uint16_t* destination);

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

// A private write (0x71) and its echo, up to three tries; nothing reads it back, so its outcome
// is at best kNotConfirmed.
LinkError WritePrivate(int8_t address, int16_t value);
// A private write confirmed by reading the value back.
WriteOutcome WritePrivateAndReadBack(int8_t address, int16_t value);
LinkError WriteRegister(int8_t reg, int16_t value);
// The same write with its whole outcome.
WriteOutcome WriteRegisterOutcome(int8_t reg, int16_t value);
// A register write confirmed by its echo alone, up to three tries: for the transmitter's address
// and rate, which take hold after the reply, so that no read-back at the old setting can succeed.
// A write that left is told to the write observer only when the caller has looked for the
// transmitter at its new setting (ReportEchoedWrite): a lost echo does not say the write was lost.
LinkError WriteRegisterByEcho(int8_t reg, int16_t value);
// The outcome of the last WriteRegisterByEcho of reg: confirmed when the transmitter written answered
// at its new setting; otherwise what its echo said (readBack: the register wherever it was read).
void ReportEchoedWrite(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack);

// True while a transaction runs; a transaction started meanwhile is refused.
bool TransactionBusy();

// Told of every register (function 6) or private (0x71) write when it ends, with its outcome: a
// program that keeps a record of its writes sets one; nullptr (the start) tells no one.
typedef void (*WriteObserver)(uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome);
void SetWriteObserver(WriteObserver observer);

enum { kConfigBlockWords = 68, kLiveBlockWords = 10 };
