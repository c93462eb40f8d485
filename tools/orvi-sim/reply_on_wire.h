// A transmitter's reply as the master hears it through the line's faults.
#pragma once

#include <cstdint>
#include <vector>

#include "line_faults.h"
#include "transmitter.h"

namespace orvisim {

// The bytes its converter's late driver loses, its framing as the master's 8N1 UART reads it, and the
// 0x00 a line without bias adds ahead of it.
void PresentReply(const Transmitter& transmitter, const LineFaults& faults, std::vector<std::uint8_t>& bytes);

}  // namespace orvisim
