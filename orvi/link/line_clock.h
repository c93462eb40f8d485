// The clock a line times its frames on, and its waits.
#pragma once
#include <cstdint>

class LineClock {
public:
    virtual ~LineClock() = default;
    // Microseconds on a monotonic clock of at least 1 ms resolution (any origin).
    virtual uint64_t NowUs() = 0;
    // Waits at least ms milliseconds (and about 1 ms more at most).
    virtual void DelayMs(uint32_t ms) = 0;
};

// The platform's clock and wait (LinkClockUs, DelayMs).
LineClock& SystemLineClock();
