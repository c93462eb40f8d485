// The faults a simulated transmitter commits on request, and how long they last.
#include <gtest/gtest.h>

#include "request_answer.h"
#include "sim_test_frames.h"
#include "transmitter.h"

using namespace orvisim;
using simtest::ReplyWord;
using simtest::Request;

namespace {

class SimFaults : public ::testing::Test {
protected:
    Answer Send(int function, int first, int second) {
        const RequestFrame request = Request(1, function, first, second);
        return AnswerRequest(t, request.data(), 0);
    }
    std::vector<std::uint8_t> CleanRead() {
        Transmitter clean(1, 9600, 0);
        return AnswerRequest(clean, Request(1, 3, 8, 1).data(), 0).bytes;
    }
    Transmitter t{1, 9600, 0};
};

}  // namespace

TEST_F(SimFaults, CountedFaultEndsAfterItsReplies) {
    t.ArmFault(FaultMode::Silent, 2);
    EXPECT_TRUE(Send(3, 8, 1).silent);
    EXPECT_TRUE(Send(3, 8, 1).silent);
    EXPECT_FALSE(Send(3, 8, 1).silent);
    EXPECT_FALSE(t.Fault().Active());

    t.ArmFault(FaultMode::Silent, -1);  // until cleared
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Send(3, 8, 1).silent);
    t.ArmFault(FaultMode::None, -1);
    EXPECT_FALSE(Send(3, 8, 1).silent);
}

TEST_F(SimFaults, SilentRequestIsNotCarriedOut) {
    t.ArmFault(FaultMode::Silent, 1);
    Send(6, 31, 250);
    EXPECT_EQ(300, t.Register(31));
}

TEST_F(SimFaults, ReplyCorruptions) {
    const std::vector<std::uint8_t> clean = CleanRead();

    t.ArmFault(FaultMode::BadCrc, 1);
    std::vector<std::uint8_t> reply = Send(3, 8, 1).bytes;
    EXPECT_EQ(clean.size(), reply.size());
    EXPECT_FALSE(HasValidCrc(reply.data(), reply.size()));
    EXPECT_EQ(clean.back() ^ 0xFF, reply.back());

    t.ArmFault(FaultMode::WrongAddr, 1);
    reply = Send(3, 8, 1).bytes;
    EXPECT_EQ(2, reply[0]);
    EXPECT_TRUE(HasValidCrc(reply.data(), reply.size()));  // so only the address check can catch it

    t.ArmFault(FaultMode::Short, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(clean.begin(), clean.end() - 2), Send(3, 8, 1).bytes);

    t.ArmFault(FaultMode::Stray, 1);
    reply = Send(3, 8, 1).bytes;
    ASSERT_EQ(clean.size() + 3, reply.size());
    EXPECT_EQ(clean, std::vector<std::uint8_t>(reply.begin() + 3, reply.end()));

    t.ArmFault(FaultMode::Echo, 1);
    const RequestFrame request = Request(1, 3, 8, 1);
    reply = Send(3, 8, 1).bytes;
    ASSERT_EQ(clean.size() + 8, reply.size());
    EXPECT_TRUE(std::equal(request.begin(), request.end(), reply.begin()));
    EXPECT_EQ(clean, std::vector<std::uint8_t>(reply.begin() + 8, reply.end()));

    t.ArmFault(FaultMode::Late, 1);
    const Answer late = Send(3, 8, 1);
    EXPECT_EQ(kLateReplyMs, late.extraDelayMs);
    EXPECT_EQ(clean, late.bytes);
    EXPECT_EQ(0, Send(3, 8, 1).extraDelayMs);
}

TEST_F(SimFaults, ExceptionReplyRefusesTheWork) {
    const struct {
        int function;
        std::uint8_t code;
    } cases[] = {{3, 0x83}, {6, 0x86}, {0x70, 0xF0}, {0x71, 0xF1}};
    for (const auto& c : cases) {
        t.ArmFault(FaultMode::Exception, 1);
        std::vector<std::uint8_t> expected = {1, c.code, 4};
        AppendCrc(expected);
        EXPECT_EQ(expected, Send(c.function, 21, 77).bytes) << "function " << c.function;
    }
    EXPECT_EQ(0, t.Register(21));
    EXPECT_EQ(120, t.Private(21));
}

TEST_F(SimFaults, MismatchStoresButReadsBackValuePlusOneUntilNextWrite) {
    t.ArmFault(FaultMode::Mismatch, 1);
    EXPECT_EQ(Send(3, 31, 1).bytes, Send(3, 31, 1).bytes) << "reads do not use the fault up";
    const RequestFrame write = Request(1, 6, 31, 250);
    EXPECT_EQ(std::vector<std::uint8_t>(write.begin(), write.end()), AnswerRequest(t, write.data(), 0).bytes);
    EXPECT_EQ(250, t.Register(31));
    EXPECT_EQ(251, ReplyWord(Send(3, 31, 1).bytes, 0));
    EXPECT_EQ(251, ReplyWord(Send(3, 30, 3).bytes, 1));
    EXPECT_EQ(0, ReplyWord(Send(3, 29, 1).bytes, 0)) << "other registers read true";
    Send(6, 31, 260);  // the fault is used up: this write clears the difference
    EXPECT_EQ(260, ReplyWord(Send(3, 31, 1).bytes, 0));
}

TEST_F(SimFaults, BadEchoCarriesValuePlusOneAndStoresNothing) {
    t.ArmFault(FaultMode::BadEcho, 2);
    std::vector<std::uint8_t> echo = Send(6, 29, 0xFFFB).bytes;
    EXPECT_EQ(0xFF, echo[4]);
    EXPECT_EQ(0xFC, echo[5]);
    EXPECT_TRUE(HasValidCrc(echo.data(), echo.size()));
    EXPECT_EQ(0, t.Register(29));
    echo = Send(0x71, 21, 200).bytes;
    EXPECT_EQ(201, echo[5]);
    EXPECT_EQ(120, t.Private(21));
    EXPECT_EQ(Send(6, 29, 3).bytes[5], 3);
    EXPECT_EQ(3, t.Register(29));
}
