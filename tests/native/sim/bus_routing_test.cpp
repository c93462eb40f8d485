// Which transmitter on the simulated line hears and answers a request, and what the log keeps.
#include <gtest/gtest.h>

#include "bus.h"
#include "sim_test_frames.h"

using namespace orvisim;
using simtest::Request;

namespace {

class SimBus : public ::testing::Test {
protected:
    std::optional<PendingReply> Hear(int address, int function, int first, int second, int speed) {
        const RequestFrame frame = Request(address, function, first, second);
        return bus.HandleFrame(frame.data(), speed, 0);
    }
    Bus bus{{{5, 9600}, {3, 9600}, {9, 4800}}, 0};
};

}  // namespace

TEST_F(SimBus, AnswersOnlyAtTheTransmittersOwnSpeed) {
    std::optional<PendingReply> reply = Hear(9, 3, 8, 1, 4800);
    ASSERT_TRUE(reply);
    EXPECT_EQ(9, reply->bytes[0]);
    EXPECT_EQ(4800, reply->baud);
    EXPECT_EQ(ReplyDelayMs(7, 4800), reply->delayMs);

    EXPECT_FALSE(Hear(9, 3, 8, 1, 9600));
    EXPECT_FALSE(Hear(5, 3, 8, 1, 19200));
    EXPECT_EQ(2, bus.Garbled());
    EXPECT_FALSE(Hear(77, 3, 8, 1, 9600)) << "nobody has address 77";
    EXPECT_EQ(2, bus.Garbled());
    ASSERT_EQ(1u, bus.Log().size()) << "only what a transmitter made out is logged";
    EXPECT_EQ(HexFrame(Request(9, 3, 8, 1).data(), 8), bus.Log()[0]);
}

TEST_F(SimBus, BroadcastReadIsAnsweredByTheLowestAddressAtThatSpeed) {
    std::optional<PendingReply> reply = Hear(0, 3, 8, 1, 9600);
    ASSERT_TRUE(reply);
    EXPECT_EQ(3, reply->bytes[0]);
    reply = Hear(0, 3, 44, 1, 4800);
    ASSERT_TRUE(reply);
    EXPECT_EQ(9, reply->bytes[0]);
    EXPECT_EQ(9, simtest::ReplyWord(reply->bytes, 0));
    EXPECT_FALSE(Hear(0, 3, 8, 1, 1200));
    EXPECT_FALSE(Hear(0, 6, 31, 5, 9600)) << "writes to everyone are not answered";
    EXPECT_EQ(300, bus.Find(3)->Register(31));
    EXPECT_EQ(3u, bus.Log().size());
}

TEST_F(SimBus, NewAddressAndSpeedApplyAfterTheReply) {
    std::optional<PendingReply> reply = Hear(5, 6, 45, 1, 9600);
    ASSERT_TRUE(reply);
    EXPECT_EQ(9600, bus.Find(5)->Baud());
    bus.ApplyAfterReply(*reply);
    EXPECT_EQ(2400, bus.Find(5)->Baud());
    EXPECT_FALSE(Hear(5, 3, 0, 1, 9600));
    EXPECT_TRUE(Hear(5, 3, 0, 1, 2400));

    reply = Hear(5, 6, 44, 17, 2400);
    ASSERT_TRUE(reply);
    EXPECT_EQ(5, reply->bytes[0]);
    bus.ApplyAfterReply(*reply);
    EXPECT_EQ(nullptr, bus.Find(5));
    ASSERT_NE(nullptr, bus.Find(17));
    EXPECT_EQ(17, bus.Find(17)->Register(kRegAddress));
}

TEST_F(SimBus, ResetRestoresTheCommandLineTransmitters) {
    Hear(3, 6, 31, 111, 9600);
    ASSERT_TRUE(bus.Add(20, 19200, 0));
    EXPECT_FALSE(bus.Add(20, 1200, 0));
    ASSERT_TRUE(bus.Remove(9));
    bus.Find(3)->ArmFault(FaultMode::Silent, -1);
    bus.Reset(0);
    ASSERT_EQ(3u, bus.Devices().size());
    EXPECT_EQ(9, bus.Devices()[2].address);
    EXPECT_EQ(4800, bus.Devices()[2].baud);
    EXPECT_EQ(nullptr, bus.Find(20));
    EXPECT_EQ(300, bus.Find(3)->Register(31));
    EXPECT_TRUE(bus.Log().empty());
    EXPECT_TRUE(Hear(3, 3, 31, 1, 9600)) << "faults are cleared";
}
