// CRC-16/Modbus of the simulator, written independently of the configurator's so host CRC bugs show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvisim {

// Reflected polynomial 0xA001, start 0xFFFF, no final XOR.
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size);

// Appends the CRC of everything in the frame, low byte first.
void AppendCrc(std::vector<std::uint8_t>& frame);

// True when the last two bytes are the CRC of the bytes before them.
bool HasValidCrc(const std::uint8_t* data, std::size_t size);

}  // namespace orvisim
