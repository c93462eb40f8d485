// A simulated transmitter's contents and its answers to functions 3, 6, 0x70 and 0x71.
#include <gtest/gtest.h>

#include "request_answer.h"
#include "sim_test_frames.h"
#include "transmitter.h"

using namespace orvisim;
using simtest::Bytes;
using simtest::ReplyWord;
using simtest::Request;

namespace {

std::vector<std::uint8_t> Ask(Transmitter& t, int function, int first, int second, std::uint64_t nowMs = 0) {
    const RequestFrame request = Request(t.Address(), function, first, second);
    Answer answer = AnswerRequest(t, request.data(), nowMs);
    EXPECT_FALSE(answer.silent);
    return answer.bytes;
}

}  // namespace

TEST(SimTransmitter, ConfigurationBlockHoldsFactoryContents) {
    Transmitter t(7, 4800, 0);
    const std::vector<std::uint8_t> reply = Ask(t, 3, 0, 68);
    ASSERT_EQ(141u, reply.size());
    EXPECT_EQ(7, reply[0]);
    EXPECT_EQ(3, reply[1]);
    EXPECT_EQ(136, reply[2]);
    EXPECT_TRUE(HasValidCrc(reply.data(), reply.size()));
    const std::pair<int, int> expected[] = {{7, 111}, {8, 1},    {23, 12}, {24, 345}, {26, 0}, {27, 500},
                                            {29, 0},  {31, 300}, {35, 5},  {39, 2},   {43, 0}, {44, 7},
                                            {45, 2},  {50, 0},   {61, 14}, {67, 0}};
    for (const auto& reg : expected) EXPECT_EQ(reg.second, ReplyWord(reply, reg.first)) << "register " << reg.first;
}

TEST(SimTransmitter, ReadsOutsideTheMapOrOfNoRegistersAreRefused) {
    Transmitter t(1, 9600, 0);
    EXPECT_EQ(7u, Ask(t, 3, 67, 1).size());  // the last register is fine
    std::vector<std::uint8_t> expected = {1, 0x83, 2};
    AppendCrc(expected);
    EXPECT_EQ(expected, Ask(t, 3, 60, 9));
    expected = {1, 0x83, 3};
    AppendCrc(expected);
    EXPECT_EQ(expected, Ask(t, 3, 0, 0));
    expected = {1, 0x86, 2};
    AppendCrc(expected);
    EXPECT_EQ(expected, Ask(t, 6, 68, 5));
    expected = {1, 0x84, 1};
    AppendCrc(expected);
    EXPECT_EQ(expected, Ask(t, 4, 0, 1));
}

TEST(SimTransmitter, RegisterWriteIsEchoedAndStoredAsSigned) {
    Transmitter t(1, 9600, 0);
    const RequestFrame request = Request(1, 6, 29, 0xFFFB);
    const Answer answer = AnswerRequest(t, request.data(), 0);
    EXPECT_EQ(Bytes("0106001DFFFB19BF"), answer.bytes);
    EXPECT_EQ(-5, static_cast<std::int16_t>(t.Register(29)));
    EXPECT_EQ(-5, ReplyWord(Ask(t, 3, 29, 1), 0));
}

TEST(SimTransmitter, AddressAndBaudChangesWaitForTheReply) {
    Transmitter t(1, 9600, 0);
    Answer answer = AnswerRequest(t, Request(1, 6, 44, 9).data(), 0);
    EXPECT_EQ(1, answer.bytes[0]);
    EXPECT_EQ(9, answer.newAddress);
    EXPECT_EQ(1, t.Address());
    answer = AnswerRequest(t, Request(1, 6, 45, 4).data(), 0);
    EXPECT_EQ(4, answer.newBaudCode);
    EXPECT_EQ(9600, t.Baud());
    // Values the transmitter cannot take are refused, not stored later.
    answer = AnswerRequest(t, Request(1, 6, 44, 248).data(), 0);
    EXPECT_EQ(0x86, answer.bytes[1]);
    EXPECT_EQ(-1, answer.newAddress);
    answer = AnswerRequest(t, Request(1, 6, 45, 5).data(), 0);
    EXPECT_EQ(0x86, answer.bytes[1]);
    EXPECT_EQ(-1, answer.newBaudCode);
}

TEST(SimTransmitter, PrivateValuesReadWriteAndUnknownNumbers) {
    Transmitter t(3, 9600, 0);
    const std::vector<std::uint8_t> gain = Ask(t, 0x70, 22, 0);
    ASSERT_EQ(6u, gain.size());
    EXPECT_EQ(Bytes("03700708"), std::vector<std::uint8_t>(gain.begin(), gain.begin() + 4));  // 1800
    EXPECT_TRUE(HasValidCrc(gain.data(), gain.size()));
    EXPECT_EQ(0, Ask(t, 0x70, 4, 0)[3]);
    const RequestFrame write = Request(3, 0x71, 23, 95);
    EXPECT_EQ(std::vector<std::uint8_t>(write.begin(), write.end()), AnswerRequest(t, write.data(), 0).bytes);
    EXPECT_EQ(95, t.Private(23));
    std::vector<std::uint8_t> refused = {3, 0xF0, 2};
    AppendCrc(refused);
    EXPECT_EQ(refused, Ask(t, 0x70, 25, 0));
    refused = {3, 0xF1, 2};
    AppendCrc(refused);
    EXPECT_EQ(refused, Ask(t, 0x71, 5, 1));
}

TEST(SimTransmitter, ProcessValueSweepsBetweenLimitsUnlessHeld) {
    Transmitter t(1, 9600, 1000);
    t.Refresh(1000);
    EXPECT_EQ(0, t.Register(kRegProcessValue));
    t.Refresh(1000 + kSweepPeriodMs / 2);
    EXPECT_EQ(500, t.Register(kRegProcessValue));
    t.Refresh(1000 + kSweepPeriodMs / 4);
    EXPECT_EQ(250, t.Register(kRegProcessValue));
    t.SetRegister(kRegOffset, static_cast<std::uint16_t>(-10));
    t.Refresh(1000 + kSweepPeriodMs);
    EXPECT_EQ(-10, static_cast<std::int16_t>(t.Register(kRegProcessValue)));

    t.SetRegister(kRegProcessValue, 123);
    t.Refresh(1000 + kSweepPeriodMs / 2);
    EXPECT_EQ(123, t.Register(kRegProcessValue));
    t.SetMoving(true);
    t.Refresh(1000 + kSweepPeriodMs / 2);
    EXPECT_EQ(490, t.Register(kRegProcessValue));
}

TEST(SimTransmitter, AlarmOutputFollowsFunctionAndSetPoint) {
    Transmitter t(1, 9600, 0);
    t.SetRegister(kRegState, 0xFFFE);  // other state bits are left alone
    struct Case {
        int function;
        int pv;
        bool on;
    };
    const Case cases[] = {{5, 301, true}, {5, 300, false}, {4, 299, true},  {4, 300, false},
                          {6, 297, true}, {6, 298, false}, {7, 303, true},  {7, 302, false},
                          {8, 297, true}, {8, 302, false}, {0, 999, false}, {1, 999, false}};
    for (const Case& c : cases) {
        t.SetRegister(kRegAlarmFunction, static_cast<std::uint16_t>(c.function));
        t.SetRegister(kRegProcessValue, static_cast<std::uint16_t>(c.pv));
        const std::vector<std::uint8_t> reply = Ask(t, 3, 6, 1);
        EXPECT_EQ(c.on ? 0xFFFF : 0xFFFE, static_cast<std::uint16_t>(ReplyWord(reply, 0)))
            << "function " << c.function << " pv " << c.pv;
    }
}
