// Waiting for a condition in another process, with a limit.
#pragma once
#include <windows.h>

// Short enough to follow a GUI closely, long enough to leave the CPU to the program under test.
constexpr DWORD kPollMs = 20;
// Limit of every wait for a window, a box or an exit; the slowest is a Wine process start. On a loaded
// two-core machine 15 s was once too short for a sheet to show; a hang still fails, only later.
constexpr DWORD kWaitMs = 30000;

// Polls condition until it holds or timeoutMs have passed; returns whether it held.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = kWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(kPollMs);
    }
}
