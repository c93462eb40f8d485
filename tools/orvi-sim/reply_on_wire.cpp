// Reply bytes lost, misread or preceded on their way to the master.
#include "reply_on_wire.h"

#include <algorithm>
#include <bitset>

namespace orvisim {

namespace {

// The bit an 8N1 UART takes for the stop bit: the parity bit when there is one, else the (first) stop bit.
bool BitAfterData(std::uint8_t byte, Parity parity) {
    const bool oddOnes = std::bitset<8>(byte).count() % 2 != 0;
    switch (parity) {
    case Parity::Even: return oddOnes;
    case Parity::Odd: return !oddOnes;
    default: return true;
    }
}

}  // namespace

void PresentReply(const Transmitter& transmitter, const LineFaults& faults, std::vector<std::uint8_t>& bytes) {
    const std::size_t lost = std::min(bytes.size(), static_cast<std::size_t>(transmitter.LateEnableBytes()));
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(lost));
    // A 0 where the stop bit should be is a framing error; Linux without IGNPAR or PARMRK reads it as 0x00.
    // Extra stop bits are idle line to the UART and change nothing.
    const Parity parity = transmitter.Framing().parity;
    for (std::uint8_t& byte : bytes) {
        if (!BitAfterData(byte, parity)) byte = 0x00;
    }
    if (faults.biasMissing) bytes.insert(bytes.begin(), 0x00);
}

}  // namespace orvisim
