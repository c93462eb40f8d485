// Modbus RTU requests as orvi-sim logs them (uppercase hex, CRC included), built here to compare logs against.
#pragma once
#include <string>
#include <utility>
#include <vector>

// One 8-byte request: address, function, a 16-bit register field, a 16-bit value or count, then the CRC.
std::string RequestFrame(int address, int function, int reg, int valueOrCount);

// A register write as the configurator confirms it: function 6 with the value, then a one-register read-back.
std::vector<std::string> WriteWithReadBack(int address, int reg, int value);

// (register, value) pairs in the order written.
using RegisterValues = std::vector<std::pair<int, int>>;
// The log that writing these registers in this order leaves, each write followed by its read-back.
std::vector<std::string> WritesWithReadBack(int address, const RegisterValues& writes);
