// The RS-485 rule of the Linux port: a board's RTS polarity kept, a default where it chose none, and when
// the board releases the line too late for the reply.
#include <gtest/gtest.h>

#include "rs485_mode.h"

namespace {

TEST(Rs485Mode, BoardPolarityKeptDefaultWhereNoneOrBothAndNoEchoWhileSending) {
    const struct {
        const char* what;
        uint32_t board;
        uint32_t expected;
    } rows[] = {
        {"nothing set: RTS up while sending", 0, kRs485Enabled | kRs485RtsOnSend},
        {"active high from the device tree", kRs485RtsOnSend, kRs485Enabled | kRs485RtsOnSend},
        {"active low from the device tree", kRs485RtsAfterSend, kRs485Enabled | kRs485RtsAfterSend},
        {"both set is no choice", kRs485RtsOnSend | kRs485RtsAfterSend, kRs485Enabled | kRs485RtsOnSend},
        {"already on, receiver on while sending", kRs485Enabled | kRs485RtsAfterSend | kRs485RxDuringTx,
         kRs485Enabled | kRs485RtsAfterSend},
        {"other bits of the board stay", (1u << 3) | (1u << 5) | kRs485RtsAfterSend,
         (1u << 3) | (1u << 5) | kRs485Enabled | kRs485RtsAfterSend},
    };
    for (const auto& row : rows) EXPECT_EQ(row.expected, Rs485FlagsToSet(row.board)) << row.what;
}

// 3.5 characters last 29.2 ms at 1200 bit/s, 3.65 ms at 9600 and 1.82 ms at 19200.
TEST(Rs485Mode, ReleaseLaterThanTheFrameGapAtTheChosenRate) {
    const struct {
        uint32_t delayMs;
        int32_t baud;
        bool late;
    } rows[] = {{0, 19200, false}, {1, 19200, false}, {2, 19200, true},   {3, 9600, false},   {4, 9600, true},
                {29, 1200, false}, {30, 1200, true},  {100, 38400, true}, {7, 5000, false},   {8, 5000, true},
                {1, 35000, false}, {1, 35001, true},  {40000, 1, true},   {4000000, 0, false}};
    for (const auto& row : rows)
        EXPECT_EQ(row.late, Rs485ReleaseTooLate(row.delayMs, row.baud)) << row.delayMs << " ms at " << row.baud;
}

}  // namespace
