// The turnaround wait and the port notice on Win32.
#include "link_platform.h"
#include "link_platform_win32.h"

namespace {
HWND noticeOwner = nullptr;
}

void SetNoticeOwner(HWND owner) { noticeOwner = owner; }

void ShowPortNotice(const char* text, const char* caption) {
    MessageBoxA(noticeOwner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

// Busy wait that lets the mouse work: keyboard, timer and paint messages stay queued.
void DelayMs(uint32_t ms) {
    const DWORD start = GetTickCount();
    DWORD now;
    do {
        now = GetTickCount();
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, 0x209, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (now - start < ms);
}
