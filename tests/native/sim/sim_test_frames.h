// Request frames and reply decoding shared by the simulator's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "crc16.h"
#include "frame_assembler.h"

namespace simtest {

// An 8-byte request: address, function, two 16-bit fields high byte first, CRC.
inline orvisim::RequestFrame Request(int address, int function, int first, int second) {
    std::vector<std::uint8_t> bytes = {
        static_cast<std::uint8_t>(address),     static_cast<std::uint8_t>(function),
        static_cast<std::uint8_t>(first >> 8),  static_cast<std::uint8_t>(first & 0xFF),
        static_cast<std::uint8_t>(second >> 8), static_cast<std::uint8_t>(second & 0xFF)};
    orvisim::AppendCrc(bytes);
    orvisim::RequestFrame frame;
    for (int i = 0; i < 8; ++i) frame[static_cast<std::size_t>(i)] = bytes[static_cast<std::size_t>(i)];
    return frame;
}

inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// Word k of a function 3 reply.
inline int ReplyWord(const std::vector<std::uint8_t>& reply, int k) {
    return static_cast<std::int16_t>((reply[3 + 2 * k] << 8) | reply[4 + 2 * k]);
}

}  // namespace simtest
