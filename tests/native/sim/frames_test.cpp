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
    EXPECT_TRUE(assembler.Add(frame.data(), 3, 100).empty());
    EXPECT_TRUE(assembler.Pending());
    std::vector<HeardFrame> frames = assembler.Add(frame.data() + 3, 5, 104);
    ASSERT_EQ(1u, frames.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), frames[0].bytes.begin()));
    EXPECT_EQ(100u, frames[0].firstByteMs) << "the line time counts from the first byte";
    EXPECT_FALSE(assembler.Pending());

    // Noise then two frames back to back in one burst.
    std::vector<std::uint8_t> burst = {0xFF, 0x00, 0x13};
    burst.insert(burst.end(), frame.begin(), frame.end());
    const std::vector<std::uint8_t> second = Bytes("0003000800010419");
    burst.insert(burst.end(), second.begin(), second.end());
    assembler.Add(burst.data(), 5, 200);
    frames = assembler.Add(burst.data() + 5, burst.size() - 5, 210);
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ(0x01, frames[0].bytes[0]);
    EXPECT_EQ(200u, frames[0].firstByteMs) << "not the noise's time, nor the last byte's";
    EXPECT_EQ(0x00, frames[1].bytes[0]);
    EXPECT_EQ(210u, frames[1].firstByteMs);
}

TEST(SimFrameAssembler, SilenceDiscardsAnIncompleteFrame) {
    FrameAssembler assembler;
    const std::vector<std::uint8_t> frame = Bytes("01030000000AC5CD");
    assembler.Add(frame.data(), 5, 0);
    EXPECT_EQ(5u, assembler.Flush());
    // The tail alone after the gap is no frame; a whole frame afterwards is.
    EXPECT_TRUE(assembler.Add(frame.data() + 5, 3, 50).empty());
    assembler.Flush();
    const std::vector<HeardFrame> whole = assembler.Add(frame.data(), frame.size(), 90);
    ASSERT_EQ(1u, whole.size());
    EXPECT_EQ(90u, whole[0].firstByteMs) << "dropped bytes leave no time behind";
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
    // A request heard whole at once still ends its line time after the first byte (8 bytes: 66.7 ms at
    // 1200, 8.3 ms at 9600); one that came slower than the line is answered after its last byte.
    EXPECT_EQ(1000u + 67 + 60, ReplyDueMs(1000, 1000, 8, 1200, 60));
    EXPECT_EQ(1000u + 9 + 60, ReplyDueMs(1000, 1002, 8, 9600, 60));
    EXPECT_EQ(1020u + 60, ReplyDueMs(1000, 1020, 8, 9600, 60));
    EXPECT_EQ("01FF0A", HexFrame(Bytes("01ff0a").data(), 3));
}
