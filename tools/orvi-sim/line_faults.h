// Faults of the line itself, between the master's adapter and the transmitters: how the wire presents
// the master's requests to the transmitters and their replies to the master.
#pragma once

#include <cstdint>

#include "bit_noise.h"

namespace orvisim {

struct LineFaults {
    // A and B swapped: requests arrive inverted (nobody answers) and the master hears one 0x00 after each.
    bool swapped = false;
    // The adapter echoes each request whole ahead of any reply.
    bool echo = false;
    // The converter drops its driver after this many bytes of a request (-1: it does not): the master hears
    // only those echoed, the transmitters a cut request.
    int rtsEarlyBytes = -1;
    // Without bias the line floats low before a driver takes it: a 0x00 ahead of every reply.
    bool biasMissing = false;
    // Another master's request every masterPeriodMs from masterSinceMs (0: none).
    int masterPeriodMs = 0;
    std::uint64_t masterSinceMs = 0;
    // The adapter's latency timer: what it receives is passed on every latencyMs from latencySinceMs (0: at once).
    int latencyMs = 0;
    std::uint64_t latencySinceMs = 0;
    BitNoise noise;
};

}  // namespace orvisim
