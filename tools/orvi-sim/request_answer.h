// What one transmitter does with one request addressed to it: the work, the reply bytes, its armed fault.
#pragma once

#include <cstdint>
#include <vector>

#include "transmitter.h"

namespace orvisim {

constexpr std::size_t kRequestSize = 8;
constexpr int kLateReplyMs = 2500;

struct Answer {
    bool silent = false;              // nothing goes back on the line
    std::vector<std::uint8_t> bytes;  // what goes back, stray bytes and all
    int extraDelayMs = 0;             // beyond the reply's own line time
    bool bytesAhead = false;          // an echo or stray bytes ahead of the reply: they leave with it at once
    int newAddress = -1;              // register 44 written: applies after the reply
    int newBaudCode = -1;             // register 45 written: applies after the reply
};

// Does the request's work on the transmitter (reads refresh the live values first) and builds the reply,
// with the armed fault applied and counted down. The request is 8 bytes with a valid CRC.
Answer AnswerRequest(Transmitter& transmitter, const std::uint8_t* request, std::uint64_t nowMs);

}  // namespace orvisim
