// CRC, frame cutting and line-time arithmetic of the simulator.
#include <gtest/gtest.h>

#include <algorithm>

#include "bus.h"
#include "crc16.h"
#include "frame_assembler.h"
#include "sim_test_frames.h"

using namespace orvisim;
using simtest::Bytes;

TEST(SimCrc, MatchesModbusVectors) {
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0x4B37, Crc16(digits, sizeof digits));
    // Requests of the configurator as they appear on the line.
    for (const char* frame : {"01030000000AC5CD", "010300000044 45F9", "0003000800010419", "01700004000001C0",
                              "0106001DFFFB19BF", "01030200017984"}) {
        std::string hex = frame;
        hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
        const std::vector<std::uint8_t> bytes = Bytes(hex);
        EXPECT_TRUE(HasValidCrc(bytes.data(), bytes.size())) << hex;
        std::vector<std::uint8_t> rebuilt(bytes.begin(), bytes.end() - 2);
        AppendCrc(rebuilt);
        EXPECT_EQ(bytes, rebuilt) << hex;
    }
    const std::vector<std::uint8_t> corrupt = Bytes("01030000000AC5CC");
    EXPECT_FALSE(HasValidCrc(corrupt.data(), corrupt.size()));
}

TEST(SimFrameAssembler, JoinsSplitFramesAndDropsGarbageAhead) {
    FrameAssembler assembler;
    const std::vector<std::uint8_t> frame = Bytes("01030000000AC5CD");
    EXPECT_TRUE(assembler.Add(frame.data(), 3).empty());
    EXPECT_TRUE(assembler.Pending());
    std::vector<RequestFrame> frames = assembler.Add(frame.data() + 3, 5);
    ASSERT_EQ(1u, frames.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), frames[0].begin()));
    EXPECT_FALSE(assembler.Pending());

    // Noise then two frames back to back in one burst.
    std::vector<std::uint8_t> burst = {0xFF, 0x00, 0x13};
    burst.insert(burst.end(), frame.begin(), frame.end());
    const std::vector<std::uint8_t> second = Bytes("0003000800010419");
    burst.insert(burst.end(), second.begin(), second.end());
    frames = assembler.Add(burst.data(), burst.size());
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ(0x01, frames[0][0]);
    EXPECT_EQ(0x00, frames[1][0]);
}

TEST(SimFrameAssembler, SilenceDiscardsAnIncompleteFrame) {
    FrameAssembler assembler;
    const std::vector<std::uint8_t> frame = Bytes("01030000000AC5CD");
    assembler.Add(frame.data(), 5);
    EXPECT_EQ(5u, assembler.Flush());
    // The tail alone after the gap is no frame; a whole frame afterwards is.
    EXPECT_TRUE(assembler.Add(frame.data() + 5, 3).empty());
    assembler.Flush();
    EXPECT_EQ(1u, assembler.Add(frame.data(), frame.size()).size());
}

TEST(SimTiming, GapAndReplyLineTimes) {
    EXPECT_EQ(30, FrameGapMs(1200));  // 3.5 characters of 10 bits, rounded up
    EXPECT_EQ(4, FrameGapMs(9600));
    EXPECT_EQ(2, FrameGapMs(19200));  // never below 2 ms
    EXPECT_EQ(2, FrameGapMs(0));
    // 141-byte block: 146.875 ms at 9600 -> 147 + 1; 1175 ms at 1200 -> 1176.
    EXPECT_EQ(148, ReplyDelayMs(141, 9600));
    EXPECT_EQ(1176, ReplyDelayMs(141, 1200));
    EXPECT_EQ(6, ReplyDelayMs(8, 19200));
    EXPECT_EQ("01FF0A", HexFrame(Bytes("01ff0a").data(), 3));
}
