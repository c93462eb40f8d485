// The clock, the turnaround wait and the port notice on POSIX: CLOCK_MONOTONIC, no message loop, standard error.
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "link_platform.h"

uint64_t LinkClockUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

void DelayMs(uint32_t ms) {
    // An absolute deadline on the same clock: a signal cannot make the wait end short.
    const uint64_t endUs = LinkClockUs() + static_cast<uint64_t>(ms) * 1000u;
    timespec end{};
    end.tv_sec = static_cast<time_t>(endUs / 1000000u);
    end.tv_nsec = static_cast<long>(endUs % 1000000u) * 1000L;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &end, nullptr) == EINTR) {
    }
}

void ShowPortNotice(const char* text, const char* caption) { std::fprintf(stderr, "%s: %s\n", caption, text); }
