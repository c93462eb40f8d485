// The clock, the turnaround wait and the port notice on Win32.
#include "link_platform.h"
#include "link_platform_win32.h"

#include <mmsystem.h>

#include "line.h"
#include "ui_text.h"

namespace {

// The counter's frequency is fixed at boot and never zero on Windows XP and later.
uint64_t CounterFrequency() {
    static uint64_t frequency = 0;
    if (frequency == 0) {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        frequency = f.QuadPart > 0 ? static_cast<uint64_t>(f.QuadPart) : 1000u;
    }
    return frequency;
}
}  // namespace

void SetNoticeOwner(HWND owner) {
    ConfiguratorLine().portNotice = [owner](const char* text, const char* caption) {
        ShowMessage(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
    };
}

void ShowPortNotice(const char* text, const char* caption) {
    ShowMessage(nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

uint64_t LinkClockUs() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart);
    const uint64_t frequency = CounterFrequency();
    // Split so that ticks * 1000000 cannot overflow after long uptimes.
    return ticks / frequency * 1000000u + ticks % frequency * 1000000u / frequency;
}

namespace {
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// Within this much of the end the wait spins on the clock: no system wait ends that precisely.
constexpr uint64_t kSpinUs = 1000;

// A timer that ends a wait within a fraction of a millisecond (Windows 10 1803 and later; null
// where refused). Made once: the link waits on the user-interface thread only.
HANDLE HighResolutionTimer() {
    static const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    return timer;
}

// Sleeps until about kSpinUs before the end or until new mouse input comes. Not
// MWMO_INPUTAVAILABLE: mouse input the peek's range leaves queued (the wheel, the non-client
// area) would end every sleep at once. Input that came after the last peek still wakes it.
void SleepTowards(uint64_t remainingUs) {
    const uint64_t sleepUs = remainingUs - kSpinUs;
    if (HANDLE timer = HighResolutionTimer()) {
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(sleepUs * 10u);  // relative, in 100 ns units
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_MOUSE, 0);
            return;
        }
    }
    // Older systems: whole milliseconds on a 1 ms timer period; such a wait may end a
    // millisecond late, which the spin's share leaves room for.
    const DWORD sleepMs = static_cast<DWORD>(sleepUs / 1000u);
    if (sleepMs == 0) return;
    const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
    MsgWaitForMultipleObjectsEx(0, nullptr, sleepMs, QS_MOUSE, 0);
    if (fine) timeEndPeriod(1);
}
}  // namespace

// Lets the mouse work while it waits: keyboard, timer and paint messages stay queued. It sleeps
// on the system's wait and spins only for the last moment, so it ends on time without using the
// processor; the tick count moves in 10-16 ms steps, so the end is taken on the performance counter.
void DelayMs(uint32_t ms) {
    const uint64_t end = LinkClockUs() + static_cast<uint64_t>(ms) * 1000u;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        MSG message;
        // The filter does not hold back WM_QUIT: it is kept and posted again when the wait ends.
        const bool got = PeekMessageA(&message, nullptr, WM_MOUSEFIRST, 0x209, PM_REMOVE) != 0;
        if (got && message.message == WM_QUIT) {
            quit = true;
            quitCode = message.wParam;
        } else if (got) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const uint64_t now = LinkClockUs();
        if (now >= end) break;
        // After a message, look again at once: more may be waiting.
        if (!got && end - now > kSpinUs) SleepTowards(end - now);
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
