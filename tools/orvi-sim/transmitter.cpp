// Factory contents, process value sweep and alarm output of a simulated transmitter.
#include "transmitter.h"

#include <cstdlib>
#include <string>
#include <vector>
#include <utility>

#include "baud_codes.h"

namespace orvisim {

namespace {
std::int16_t Signed(std::uint16_t word) { return static_cast<std::int16_t>(word); }
}  // namespace

Transmitter::Transmitter(int address, int baud, std::uint64_t startMs) : sweepStartMs_(startMs) {
    registers_[kRegFirmware] = 111;
    registers_[kRegIdentity] = 1;
    registers_[kRegSerialHigh] = 12;
    registers_[kRegSerialLow] = 345;
    registers_[kRegLowerLimit] = 0;
    registers_[kRegUpperLimit] = 500;
    registers_[kRegOffset] = 0;
    registers_[kRegSetPoint] = 300;
    registers_[kRegAlarmFunction] = 5;
    registers_[kRegHysteresis] = 2;
    registers_[kRegInputType] = 0;
    registers_[kRegAddress] = static_cast<std::uint16_t>(address);
    registers_[kRegBaudCode] = static_cast<std::uint16_t>(CodeFromBaud(baud));
    registers_[kRegAlarmBlock] = 0;
    registers_[kRegOutputType] = 14;
    registers_[kRegUnit] = 0;
    privates_[4] = 0;
    privates_[21] = 120;
    privates_[22] = 1800;
    privates_[23] = 80;
    privates_[24] = 1900;
    Refresh(startMs);
}

int Transmitter::Address() const { return registers_[kRegAddress]; }

int Transmitter::Baud() const { return BaudFromCode(registers_[kRegBaudCode]); }

void Transmitter::Refresh(std::uint64_t nowMs) {
    if (moving_) {
        int low = Signed(registers_[kRegLowerLimit]);
        int high = Signed(registers_[kRegUpperLimit]);
        if (low > high) std::swap(low, high);
        const std::uint64_t half = kSweepPeriodMs / 2;
        const std::uint64_t phase = (nowMs - sweepStartMs_) % kSweepPeriodMs;
        const std::uint64_t rising = phase < half ? phase : kSweepPeriodMs - phase;
        const long long span = static_cast<long long>(high) - low;
        const long long value =
            low + span * static_cast<long long>(rising) / static_cast<long long>(half) + Signed(registers_[kRegOffset]);
        registers_[kRegProcessValue] = static_cast<std::uint16_t>(value);
    }
    std::uint16_t state = static_cast<std::uint16_t>(registers_[kRegState] & ~1u);
    if (AlarmOutputOn()) state |= 1u;
    registers_[kRegState] = state;
}

bool Transmitter::AlarmOutputOn() const {
    const int pv = Signed(registers_[kRegProcessValue]);
    const int setPoint = Signed(registers_[kRegSetPoint]);
    const int hysteresis = Signed(registers_[kRegHysteresis]);
    switch (registers_[kRegAlarmFunction]) {
    case 4: return pv < setPoint;                         // minimum
    case 5: return pv > setPoint;                         // maximum
    case 6: return pv < setPoint - hysteresis;            // differential minimum
    case 7: return pv > setPoint + hysteresis;            // differential maximum
    case 8: return std::abs(pv - setPoint) > hysteresis;  // differential band
    default: return false;
    }
}

void Transmitter::SetRegister(int reg, std::uint16_t value) {
    registers_[reg] = value;
    if (reg == kRegProcessValue) moving_ = false;
}

void Transmitter::SetMoving(bool moving) { moving_ = moving; }

void Transmitter::ArmFault(FaultMode mode, int count) {
    fault_.mode = mode;
    fault_.remaining = count;
    if (mode == FaultMode::None) mismatched_.fill(false);
}

bool SetSerialNumber(Transmitter& transmitter, long serial) {
    if (serial < 0) return false;
    const std::string digits = std::to_string(serial);
    // The second part may not start with a zero (12 and 045 would read 1245). Three digits in the
    // second part as the factory's 12 and 345, fewer or more where that does not fit.
    std::vector<std::size_t> splits;
    const std::size_t size = digits.size();
    const std::size_t factory = size > 3 ? size - 3 : 0;
    for (std::size_t split = factory; split < size; ++split) splits.push_back(split);
    for (std::size_t split = factory; split-- > 0;) splits.push_back(split);
    for (const std::size_t split : splits) {
        if (digits[split] == '0' && split + 1 < size) continue;
        const long first = split == 0 ? 0 : std::stol(digits.substr(0, split));
        const long second = std::stol(digits.substr(split));
        if (first > 32767 || second > 32767) continue;
        transmitter.SetRegister(kRegSerialHigh, static_cast<std::uint16_t>(first));
        transmitter.SetRegister(kRegSerialLow, static_cast<std::uint16_t>(second));
        return true;
    }
    return false;
}

}  // namespace orvisim
