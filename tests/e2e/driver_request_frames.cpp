// Building the request frames that the tests expect to find in the simulator's log.
#include "driver_request_frames.h"

#include <cstdint>
#include <cstdio>

namespace {

// The Modbus CRC-16 (reflected polynomial 0xA001, start 0xFFFF), sent low byte first.
uint16_t ModbusCrc(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

}  // namespace

std::string RequestFrame(int address, int function, int reg, int valueOrCount) {
    uint8_t frame[8] = {static_cast<uint8_t>(address),
                        static_cast<uint8_t>(function),
                        static_cast<uint8_t>((reg >> 8) & 0xFF),
                        static_cast<uint8_t>(reg & 0xFF),
                        static_cast<uint8_t>((valueOrCount >> 8) & 0xFF),
                        static_cast<uint8_t>(valueOrCount & 0xFF)};
    const uint16_t crc = ModbusCrc(frame, 6);
    frame[6] = static_cast<uint8_t>(crc & 0xFF);
    frame[7] = static_cast<uint8_t>(crc >> 8);
    std::string hex;
    char digits[3];
    for (uint8_t byte : frame) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        hex += digits;
    }
    return hex;
}

std::vector<std::string> WriteWithReadBack(int address, int reg, int value) {
    return {RequestFrame(address, 6, reg, value), RequestFrame(address, 3, reg, 1)};
}

std::vector<std::string> WritesWithReadBack(int address, const RegisterValues& writes) {
    std::vector<std::string> frames;
    for (const auto& write : writes) {
        const std::vector<std::string> pair = WriteWithReadBack(address, write.first, write.second);
        frames.insert(frames.end(), pair.begin(), pair.end());
    }
    return frames;
}
