// Platform services of the link that are not port operations: the turnaround wait and the port notice.
#pragma once
#include <cstdint>

// Waits at least ms milliseconds, dispatching only mouse messages (0x200..0x209) meanwhile.
void DelayMs(uint32_t ms);

// The "Porta configurada" notice of the fallback scan.
void ShowPortNotice(const char* text, const char* caption);
