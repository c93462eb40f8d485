// One simulated transmitter: its holding registers, private values, live process value and armed fault.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "fault_mode.h"

namespace orvisim {

// Registers with a meaning the simulator acts on.
enum Register {
    kRegProcessValue = 1,
    kRegState = 6,
    kRegFirmware = 7,
    kRegIdentity = 8,
    kRegSerialHigh = 23,
    kRegSerialLow = 24,
    kRegLowerLimit = 26,
    kRegUpperLimit = 27,
    kRegOffset = 29,
    kRegSetPoint = 31,
    kRegAlarmFunction = 35,
    kRegHysteresis = 39,
    kRegInputType = 43,
    kRegAddress = 44,
    kRegBaudCode = 45,
    kRegAlarmBlock = 50,
    kRegOutputType = 61,
    kRegUnit = 67,
};

constexpr int kRegisterCount = 68;
// The serial number of the first transmitter a simulator places; the next ones count up from it.
constexpr long kFirstSerialNumber = 12345;
// Period of the process value's triangle sweep between the scale limits.
constexpr std::uint64_t kSweepPeriodMs = 20000;

enum class Parity { None, Even, Odd };

// How a transmitter frames the characters of its replies (8 data bits, then parity if any, then stop bits).
struct ReplyFraming {
    Parity parity = Parity::None;
    int stopBits = 1;
};

class Transmitter {
public:
    // A transmitter with factory contents at this address and speed; its process value sweeps from startMs.
    Transmitter(int address, int baud, std::uint64_t startMs);

    int Address() const;  // register 44
    int Baud() const;     // from register 45; -1 for an invalid code

    // Brings the process value (unless held) and the alarm output bit up to date.
    void Refresh(std::uint64_t nowMs);

    std::uint16_t Register(int reg) const { return registers_[reg]; }
    // Stores a word; a value stored in the process value holds it there.
    void SetRegister(int reg, std::uint16_t value);
    // Resumes (true) or stops (false) the process value's sweep.
    void SetMoving(bool moving);

    bool HasPrivate(int number) const { return privates_.count(number) != 0; }
    std::uint16_t Private(int number) const { return privates_.at(number); }
    void SetPrivate(int number, std::uint16_t value) { privates_[number] = value; }

    ArmedFault& Fault() { return fault_; }
    // Arms a fault (FaultMode::None clears it and any read-back mismatch left behind).
    void ArmFault(FaultMode mode, int count);

    // Milliseconds this transmitter takes to start its answer, on top of the reply's line time.
    int AnswerDelayMs() const { return answerDelayMs_; }
    void SetAnswerDelayMs(int ms) { answerDelayMs_ = ms; }

    const ReplyFraming& Framing() const { return framing_; }
    void SetFraming(const ReplyFraming& framing) { framing_ = framing; }
    // Bytes at the start of each reply that its converter loses by enabling its driver late.
    int LateEnableBytes() const { return lateEnableBytes_; }
    void SetLateEnableBytes(int bytes) { lateEnableBytes_ = bytes; }

    bool ReadsDiffer(int reg) const { return mismatched_[reg]; }
    void SetReadsDiffer(int reg, bool differ) { mismatched_[reg] = differ; }

private:
    bool AlarmOutputOn() const;

    std::array<std::uint16_t, kRegisterCount> registers_{};
    std::array<bool, kRegisterCount> mismatched_{};
    std::map<int, std::uint16_t> privates_;
    ArmedFault fault_;
    bool moving_ = true;
    int answerDelayMs_ = 0;
    ReplyFraming framing_;
    int lateEnableBytes_ = 0;
    std::uint64_t sweepStartMs_;
};

// Stores a serial number in registers 23 and 24, which hold its digits as two decimal numbers written
// one after the other (12 and 345 read 12345). False when no such pair of signed words holds it.
bool SetSerialNumber(Transmitter& transmitter, long serial);

}  // namespace orvisim
