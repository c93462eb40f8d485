// The turnaround wait and the port notice on POSIX: a plain sleep (no message loop) and standard error.
#include <chrono>
#include <cstdio>
#include <thread>

#include "link_platform.h"

void DelayMs(uint32_t ms) {
    // sleep_for may end early on a signal; the wait is measured, so it never ends short.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) std::this_thread::sleep_until(end);
}

void ShowPortNotice(const char* text, const char* caption) { std::fprintf(stderr, "%s: %s\n", caption, text); }
