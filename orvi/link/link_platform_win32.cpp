// The clock, the turnaround wait and the port notice on Win32.
#include "link_platform.h"
#include "link_platform_win32.h"
#include "ui_text.h"

namespace {
HWND noticeOwner = nullptr;

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

void SetNoticeOwner(HWND owner) { noticeOwner = owner; }

void ShowPortNotice(const char* text, const char* caption) {
    ShowMessage(noticeOwner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

uint64_t LinkClockUs() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart);
    const uint64_t frequency = CounterFrequency();
    // Split so that ticks * 1000000 cannot overflow after long uptimes.
    return ticks / frequency * 1000000u + ticks % frequency * 1000000u / frequency;
}

// Busy wait that lets the mouse work: keyboard, timer and paint messages stay queued. The tick count
// moves in 10-16 ms steps, so the wait runs on the performance counter instead.
void DelayMs(uint32_t ms) {
    const uint64_t end = LinkClockUs() + static_cast<uint64_t>(ms) * 1000u;
    do {
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, 0x209, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (LinkClockUs() < end);
}
