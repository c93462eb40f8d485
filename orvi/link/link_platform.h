// Platform services of the link that are not port operations: the clock, the wait and the port notice.
#pragma once
#include <cstdint>

// Microseconds on a monotonic clock of at least 1 ms resolution (any origin); line times use it.
uint64_t LinkClockUs();

// Waits at least ms milliseconds (and about 1 ms more at most) on LinkClockUs, dispatching only
// mouse messages (0x200..0x209) meanwhile.
void DelayMs(uint32_t ms);

// The "Porta configurada" notice of the fallback scan.
void ShowPortNotice(const char* text, const char* caption);
