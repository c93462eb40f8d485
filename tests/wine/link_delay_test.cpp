// The turnaround wait: it lasts at least its time and lets only mouse messages through.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "link_platform.h"

namespace {

std::vector<UINT> dispatched;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= 0x209) dispatched.push_back(message);
    if (message == WM_KEYDOWN || message == WM_TIMER || message == WM_USER) dispatched.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class DelayTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = RecordingProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "DelayTestWindow";
        RegisterClassA(&cls);
        window_ =
            CreateWindowA("DelayTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, cls.hInstance, nullptr);
        ASSERT_TRUE(window_ != nullptr);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        dispatched.clear();
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(DelayTest, DispatchesMouseMessagesOnlyAndKeepsTheRestQueued) {
    PostMessageA(window_, WM_KEYDOWN, 'A', 0);
    PostMessageA(window_, WM_USER, 0, 0);
    PostMessageA(window_, WM_MOUSEMOVE, 0, 0);
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(window_, 0x209, 0, 0);  // middle-button double-click, the last of the range
    PostMessageA(window_, 0x20A, 0, 0);  // the wheel lies outside it
    const uint64_t start = LinkClockUs();
    DelayMs(30);
    EXPECT_GE(LinkClockUs() - start, 30000u);  // the tick count's 10-16 ms steps could not tell
    EXPECT_EQ(std::vector<UINT>({WM_MOUSEMOVE, WM_LBUTTONDOWN, 0x209}), dispatched);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, window_, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&message, window_, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&message, window_, 0x20A, 0x20A, PM_NOREMOVE));
}

TEST_F(DelayTest, ZeroMakesOnePassAndDispatchesAtMostOneMouseMessage) {
    PostMessageA(window_, WM_MOUSEMOVE, 0, 0);
    PostMessageA(window_, WM_MOUSEMOVE, 1, 0);
    DelayMs(0);
    EXPECT_EQ(1u, dispatched.size());
}

uint64_t ThreadCpuUs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto us = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10u; };
    return us(kernel) + us(user);
}

// The wait sleeps instead of spinning, yet ends within 2 ms of its time. Three waits: the
// processor time of all (a spinning wait gets its share of the processor even on a busy machine)
// and the most punctual one (another program taking the processor at the wrong moment may delay one).
TEST_F(DelayTest, LongWaitUsesLittleProcessorAndEndsOnTime) {
    uint64_t cpuUs = 0, bestLateUs = UINT64_MAX;
    for (int run = 0; run < 3; ++run) {
        const uint64_t cpu = ThreadCpuUs();
        const uint64_t start = LinkClockUs();
        DelayMs(200);
        const uint64_t took = LinkClockUs() - start;
        cpuUs += ThreadCpuUs() - cpu;
        ASSERT_GE(took, 200000u);
        bestLateUs = std::min(bestLateUs, took - 200000u);
    }
    EXPECT_LE(cpuUs, 60000u);  // a tenth of the waits
    EXPECT_LE(bestLateUs, 2000u);
}

}  // namespace
