// The device transactions: fixed requests with up to three tries each.
#pragma once
#include <cstdint>
#include "link_error.h"
#include "write_outcome.h"

class Line;

LinkError ReadHolding(int8_t reg, uint16_t* destination);
LinkError ReadPrivate(int8_t address, uint16_t* destination);
LinkError ReadStatusBits(uint16_t* destination);
LinkError ReadConfigBlock(uint16_t* destination);  // 68 words
LinkError ReadLiveBlock(uint16_t* destination);    // 10 words
LinkError SearchReadIdentity(uint16_t* destination);
LinkError SearchReadAddress(uint16_t* destination);

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

// Sets the configurator line's write observer (see WriteObserver).
void SetWriteObserver(WriteObserver observer);

enum { kConfigBlockWords = 68, kLiveBlockWords = 10 };

// The same transactions on a line of the caller's; the functions above are the configurator's line.
LinkError ReadHolding(Line& line, int8_t reg, uint16_t* destination);
LinkError ReadPrivate(Line& line, int8_t address, uint16_t* destination);
LinkError ReadStatusBits(Line& line, uint16_t* destination);
LinkError ReadConfigBlock(Line& line, uint16_t* destination);
LinkError ReadLiveBlock(Line& line, uint16_t* destination);
LinkError SearchReadIdentity(Line& line, uint16_t* destination);
LinkError SearchReadAddress(Line& line, uint16_t* destination);
LinkError WritePrivate(Line& line, int8_t address, int16_t value);
WriteOutcome WritePrivateAndReadBack(Line& line, int8_t address, int16_t value);
LinkError WriteRegister(Line& line, int8_t reg, int16_t value);
WriteOutcome WriteRegisterOutcome(Line& line, int8_t reg, int16_t value);
LinkError WriteRegisterByEcho(Line& line, int8_t reg, int16_t value);
void ReportEchoedWrite(Line& line, int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack);
bool TransactionBusy(const Line& line);
