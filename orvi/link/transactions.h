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
LinkError WritePrivate(int8_t address, int16_t value);
LinkError WriteRegister(int8_t reg, int16_t value);
// A register write confirmed by its echo alone, up to three tries: for the transmitter's address
// and rate, which take hold after the reply, so that no read-back at the old setting can succeed.
LinkError WriteRegisterByEcho(int8_t reg, int16_t value);

// True while a transaction runs; a transaction started meanwhile is refused.
bool TransactionBusy();

// Told of every register (function 6) or private (0x71) write when it ends, with its result: a
// program that keeps a record of its writes sets one; nullptr (the start) tells no one.
typedef void (*WriteObserver)(uint8_t function, int8_t reg, int16_t value, LinkError result);
void SetWriteObserver(WriteObserver observer);

enum { kConfigBlockWords = 68, kLiveBlockWords = 10 };
