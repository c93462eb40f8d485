// Request frames, the CRC and the reply checks, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "comm_settings.h"
#include "line.h"
#include "native_platform.h"
#include "rtu_frame.h"
#include "serial_port.h"

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNativePlatform();
        ASSERT_EQ(1, OpenPort());
    }
    ScriptedSerialDevice& device() { return TestDevice(); }
    Bytes Sent() { return device().written.back(); }
};

TEST_F(FrameTest, RequestVectors) {
    SendRequest(0, 10, 3, 0, nullptr);
    EXPECT_EQ(Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}), Sent());
    SendRequest(0, 68, 3, 0, nullptr);
    EXPECT_EQ(Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x44, 0x45, 0xF9}), Sent());
    SendRequest(4, 0, 0x70, 0, nullptr);
    EXPECT_EQ(Bytes({0x01, 0x70, 0x00, 0x04, 0x00, 0x00, 0x01, 0xC0}), Sent());
    SendRequest(29, 1, 6, -5, nullptr);
    EXPECT_EQ(Bytes({0x01, 0x06, 0x00, 0x1D, 0xFF, 0xFB, 0x19, 0xBF}), Sent());
    commSettings.deviceAddress = 0;
    SendRequest(8, 1, 3, 0, nullptr);
    EXPECT_EQ(Bytes({0x00, 0x03, 0x00, 0x08, 0x00, 0x01, 0x04, 0x19}), Sent());
}

TEST_F(FrameTest, OtherFunctionCodesSendFourBytes) {
    SendRequest(0, 0, 0x11, 0, nullptr);
    const Bytes sent = Sent();
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ(WithCrc({0x01, 0x11}), sent);
}

TEST(Crc16Test, CheckValueOfDigits) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0x4B37, Crc16(digits, sizeof digits));
}

TEST_F(FrameTest, SendRaisesRtsWritesWaitsThenDropsAfterTurnaround) {
    // The first delay holds RTS for the line time of 8 bytes and one more character.
    const struct {
        int32_t baud;
        const char* line;
        const char* turnaround;
    } rows[] = {{1200, "delay 75", "delay 8"},
                {2400, "delay 38", "delay 3"},
                {4800, "delay 19", "delay 2"},
                {9600, "delay 10", "delay 1"},
                {19200, "delay 5", "delay 1"}};
    for (const auto& row : rows) {
        commSettings.baudRate = row.baud;
        device().events.clear();
        SendRequest(0, 1, 3, 0, nullptr);
        const std::vector<std::string> expected = {"rts 1",  "dtr 1",        "purge rx tx", "write", "txempty",
                                                   row.line, row.turnaround, "rts 0",       "dtr 1"};
        EXPECT_EQ(expected, device().events) << row.baud;
    }
    // An unsupported rate drops RTS right after the line time.
    commSettings.baudRate = 38400;
    device().events.clear();
    SendRequest(0, 1, 3, 0, nullptr);
    const std::vector<std::string> expected = {"rts 1",   "dtr 1",   "purge rx tx", "write",
                                               "txempty", "delay 5", "rts 0",       "dtr 1"};
    EXPECT_EQ(expected, device().events);
}

// The driver reports its queue empty once the bytes are in the UART's FIFO; RTS must still wait
// for the last stop bit on the line, and a driver that never reports empty must not hold it for ever.
// RTS is judged on the line: Windows' own USB serial driver sends an RTS change to the adapter only
// with the next DTR set. A driver that takes toggle mode and toggles nothing is the plain one here,
// as the Windows port never leaves RTS to a toggle mode.
TEST_F(FrameTest, RtsIsOnTheLineWhileTheRequestLeavesAndDropsOnlyAfterTheLastStopBit) {
    for (bool waitsForDtr : {false, true}) {
        for (bool drains : {true, false}) {
            for (int32_t baud : {1200, 2400, 4800, 9600, 19200}) {
                const std::string row = std::to_string(baud) + (drains ? "" : " never drains") +
                                        (waitsForDtr ? ", RTS goes out with DTR" : "");
                commSettings.baudRate = baud;
                ClosePort();
                device().rtsWaitsForDtr = waitsForDtr;
                ASSERT_EQ(1, OpenPort());
                device().drains = drains;
                device().rtsDropUs.clear();
                const uint64_t start = device().nowUs;
                SendRequest(0, 68, 3, 0, nullptr);
                EXPECT_TRUE(device().rtsAtWrite.back()) << row;
                ASSERT_EQ(1u, device().rtsDropUs.size()) << row;
                EXPECT_FALSE(device().rts) << row;
                const uint64_t drop = device().rtsDropUs[0];
                EXPECT_GE(drop, device().lineClearUs.back()) << row;
                const uint64_t boundUs = 1000u * (device().transmitBounds.back() + TurnaroundMs(baud) + 1u);
                EXPECT_LE(drop - start, boundUs) << row;
            }
        }
    }
}

TEST_F(FrameTest, ToggleModeLeavesRtsToTheDriver) {
    device().togglesRts = true;
    device().events.clear();
    SendRequest(0, 1, 3, 0, nullptr);
    ClosePort();
    for (const std::string& e : device().events) EXPECT_NE(0u, e.rfind("rts", 0)) << e;
}

TEST_F(FrameTest, RefusedWriteIsATimeoutWithoutWaitingOrReading) {
    device().acceptWrites = false;
    uint16_t word = 3;
    SendRequest(0, 1, 3, 0, &word);
    device().replies.push_back(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01}));
    EXPECT_EQ(kLinkTimeout, ReceiveReply(3, 1));
    EXPECT_TRUE(device().readSizes.empty());
    EXPECT_TRUE(device().transmitBounds.empty());
    EXPECT_FALSE(device().rts);
    EXPECT_EQ(3, word);
}

TEST_F(FrameTest, TransmitWaitIsBoundedByLineTime) {
    commSettings.baudRate = 1200;
    SendRequest(0, 1, 3, 0, nullptr);
    commSettings.baudRate = 19200;
    SendRequest(0, 1, 3, 0, nullptr);
    ASSERT_EQ(2u, device().transmitBounds.size());
    EXPECT_EQ(67u + 50u, device().transmitBounds[0]);  // 80 bits at 1200 bit/s, rounded up
    EXPECT_EQ(5u + 50u, device().transmitBounds[1]);
}

// A reply ends the read as soon as its last L bytes pass the CRC; only what is not such a reply
// waits for the line to go quiet, and gives the code a read of L + 8 bytes gave.
TEST_F(FrameTest, ReadEndsWhenTheReplyIsComplete) {
    const Bytes reply = WithCrc({0x01, 0x03, 0x02, 0x12, 0x34});
    const Bytes request = WithCrc({0x01, 0x03, 0x00, 0x08, 0x00, 0x01});
    const auto behind = [&](Bytes ahead) {
        ahead.insert(ahead.end(), reply.begin(), reply.end());
        return ahead;
    };
    Bytes badCrc = reply;
    badCrc.back() ^= 1;
    const std::vector<size_t> byteByByte(8, 1);
    struct Row {
        const char* name;
        Bytes line;
        LinkError result;
        std::vector<size_t> reads;
    };
    std::vector<Row> rows = {
        {"clean", reply, kLinkOk, {7}},
        {"echo", behind(request), kLinkOk, {7, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"bad CRC", badCrc, kLinkBadCrc, {7, 1}},
        {"short", WithCrc({0x01, 0x83, 0x02}), kLinkTimeout, {7}},
        {"silence", {}, kLinkTimeout, {7, 7}},
        {"9 stray", behind(Bytes(9, 0x5A)), kLinkBadCrc, {7, 1, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (size_t stray = 1; stray <= 8; ++stray) {
        std::vector<size_t> reads = {7};
        reads.insert(reads.end(), stray, 1);
        rows.push_back({"stray", behind(Bytes(stray, 0xFF)), kLinkOk, reads});
    }
    for (const Row& row : rows) {
        uint16_t word = 0;
        SendRequest(8, 1, 3, 0, &word);
        device().replies.push_back(row.line);
        device().readSizes.clear();
        EXPECT_EQ(row.result, ReceiveReply(3, 1)) << row.name << " " << row.line.size();
        EXPECT_EQ(row.reads, device().readSizes) << row.name << " " << row.line.size();
        EXPECT_EQ(row.result == kLinkOk ? 0x1234 : 0, word) << row.name;
        EXPECT_EQ(ReadTimeoutsFor(9600).constantMs, device().timeouts.constantMs) << row.name;
        EXPECT_EQ(ReadTimeoutsFor(9600).perByteMs, device().timeouts.perByteMs) << row.name;
    }
}

// A write's reply is its request's echo: the first such frame may be the converter hearing itself,
// so an exception after it is never taken for a confirmed write. Only where a read has shown the
// line without echo (on this opening of the port) does a write's reply end the read at once.
TEST_F(FrameTest, WriteReplyEndsAtOnceOnlyOnALineKnownWithoutEcho) {
    const Bytes exception = WithCrc({0x01, 0xF1, 0x02});
    const Bytes readReply = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
    // The transmitter's reply, or (when none is given) the correct one: a copy of the request.
    const auto write = [&](bool echoed, Bytes reply) {
        SendRequest(23, 1, 0x71, -300, nullptr);
        if (reply.empty()) reply = device().written.back();
        Bytes line = echoed ? device().written.back() : Bytes();
        line.insert(line.end(), reply.begin(), reply.end());
        device().replies.push_back(line);
        device().readSizes.clear();
        return ReceiveReply(0x71, 0);
    };
    const auto read = [&](bool echoed) {
        SendRequest(8, 1, 3, 0, nullptr);
        Bytes line = echoed ? device().written.back() : Bytes();
        line.insert(line.end(), readReply.begin(), readReply.end());
        device().replies.push_back(line);
        ASSERT_EQ(kLinkOk, ReceiveReply(3, 1));
    };
    // Nothing known yet: the echo alone never confirms, the read waits for the line to go quiet.
    EXPECT_NE(kLinkOk, write(true, exception));
    EXPECT_EQ(kLinkOk, write(false, {}));
    EXPECT_LT(1u, device().readSizes.size());
    // A read answered with nothing ahead: the write's reply ends the read.
    read(false);
    EXPECT_EQ(kLinkOk, write(false, {}));
    EXPECT_EQ(std::vector<size_t>({8}), device().readSizes);
    // A read behind its own echo: writes wait again, and an echo ahead of an exception is refused.
    read(true);
    EXPECT_NE(kLinkOk, write(true, exception));
    SendRequest(23, 1, 0x71, -300, nullptr);
    Bytes twice = device().written.back();
    twice.insert(twice.end(), twice.begin(), twice.end());
    device().replies.push_back(twice);
    EXPECT_EQ(kLinkOk, ReceiveReply(0x71, 0));
    // What was learnt holds only until the port opens again.
    read(false);
    ClosePort();
    ASSERT_EQ(1, OpenPort());
    EXPECT_EQ(kLinkOk, write(false, {}));
    EXPECT_LT(1u, device().readSizes.size());
}

// After each reply the line stays quiet 3.5 character times (2 ms at least) before the next request;
// after silence, counted from the request's end.
TEST_F(FrameTest, QuietLineBeforeEachRequest) {
    const struct {
        int32_t baud;
        uint64_t gapUs;
    } rows[] = {{1200, 29167}, {2400, 14584}, {4800, 7292}, {9600, 3646}, {19200, 2000}};
    for (const auto& row : rows) {
        commSettings.baudRate = row.baud;
        ClosePort();
        ASSERT_EQ(1, OpenPort());
        device().answer = [](const Bytes& request) {
            return request[1] == 6 ? request : WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
        };
        for (uint16_t reg : {8, 44, 45}) {
            const uint8_t function = reg == 8 ? 3 : 6;
            SendRequest(reg, 1, function, 1, nullptr);
            ReceiveReply(function, 1);
            const uint64_t replyEnd = device().lastByteUs;
            SendRequest(8, 1, 3, 0, nullptr);
            const uint64_t gap = device().writeUs.back() - replyEnd;
            EXPECT_GE(gap, row.gapUs) << row.baud;
            ReceiveReply(3, 1);
        }
        // Silence: the line has been quiet since the request left it, so the wait for the reply
        // already holds the gap and the next request goes out at once.
        device().replies.push_back({});
        SendRequest(8, 1, 3, 0, nullptr);
        ReceiveReply(3, 1);
        const uint64_t requestLeft = device().rtsDropUs.back();
        const uint64_t readEnd = device().nowUs;
        SendRequest(8, 1, 3, 0, nullptr);
        EXPECT_GE(device().writeUs.back() - requestLeft, row.gapUs) << row.baud;
        EXPECT_LT(device().writeUs.back() - readEnd, 1000u) << row.baud;
        ReceiveReply(3, 1);
    }
}

class ReplyTest : public FrameTest {
protected:
    LinkError ReadOne(const Bytes& reply, uint16_t* word) {
        SendRequest(0, 1, 3, 0, word);
        device().replies.push_back(reply);
        return ReceiveReply(3, 1);
    }
    LinkError Write(int16_t value, const Bytes& reply) {
        SendRequest(29, 1, 6, value, nullptr);
        device().replies.push_back(reply);
        return ReceiveReply(6, 0);
    }
};

TEST_F(ReplyTest, DataReplyStoresWord) {
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadOne({0x01, 0x03, 0x02, 0x00, 0x01, 0x79, 0x84}, &word));
    EXPECT_EQ(1, word);
}

TEST_F(ReplyTest, EchoOrStrayBytesAheadOfReplyAreDropped) {
    const Bytes reply = WithCrc({0x01, 0x03, 0x02, 0x12, 0x34});
    for (size_t stray = 1; stray <= 8; ++stray) {
        Bytes withStray(stray, 0x5A);
        withStray.insert(withStray.end(), reply.begin(), reply.end());
        uint16_t word = 0;
        EXPECT_EQ(kLinkOk, ReadOne(withStray, &word)) << stray;
        EXPECT_EQ(0x1234, word);
    }
    // The echo of the 8-byte request ahead of the reply.
    uint16_t word = 0;
    SendRequest(0, 1, 3, 0, &word);
    Bytes echoed = device().written.back();
    echoed.insert(echoed.end(), reply.begin(), reply.end());
    device().replies.push_back(echoed);
    EXPECT_EQ(kLinkOk, ReceiveReply(3, 1));
    EXPECT_EQ(0x1234, word);
}

// A complete reply still queued from before the request is purged, not taken as its answer.
TEST_F(ReplyTest, StaleReplyInTheInputQueueIsNotTaken) {
    uint16_t word = 0;
    SendRequest(0, 1, 3, 0, &word);
    device().input = WithCrc({0x01, 0x03, 0x02, 0x0B, 0xAD});
    device().replies.push_back(WithCrc({0x01, 0x03, 0x02, 0x00, 0x2A}));
    SendRequest(0, 1, 3, 0, &word);
    EXPECT_EQ(kLinkOk, ReceiveReply(3, 1));
    EXPECT_EQ(42, word);
    device().input = WithCrc({0x01, 0x03, 0x02, 0x0B, 0xAD});
    SendRequest(0, 1, 3, 0, &word);
    EXPECT_EQ(kLinkTimeout, ReceiveReply(3, 1));
    EXPECT_EQ(42, word);
}

TEST_F(ReplyTest, ShortRepliesAreTimeouts) {
    uint16_t word = 7;
    EXPECT_EQ(kLinkTimeout, ReadOne(WithCrc({0x01, 0x83, 0x02}), &word));  // a 5-byte exception to L = 7
    EXPECT_EQ(kLinkTimeout, ReadOne({}, &word));
    EXPECT_EQ(7, word);
}

TEST_F(ReplyTest, CrcIsCheckedBeforeAddress) {
    uint16_t word = 0;
    Bytes foreign = WithCrc({0x02, 0x03, 0x02, 0x00, 0x01});
    EXPECT_EQ(kLinkWrongAddress, ReadOne(foreign, &word));
    foreign.back() ^= 0xFF;
    EXPECT_EQ(kLinkBadCrc, ReadOne(foreign, &word));
    ConfiguratorLine().acceptAnyAddress = true;
    EXPECT_EQ(kLinkOk, ReadOne(WithCrc({0x02, 0x03, 0x02, 0x00, 0x01}), &word));
    ConfiguratorLine().acceptAnyAddress = false;
}

// Each request accepts only its own function or that function's exception form.
TEST_F(ReplyTest, FunctionByteTable) {
    uint16_t word = 0;
    EXPECT_EQ(kLinkException, ReadOne(WithCrc({0x01, 0x83, 0x02, 0x00, 0x00}), &word));
    for (uint8_t f : {0x82, 0x00, 0x07, 0xF2, 0xFF, 0x81, 0x84, 0xF0, 0xF1, 0x04, 0x06, 0x70})
        EXPECT_EQ(kLinkBadFunction, ReadOne(WithCrc({0x01, f, 0x02, 0x00, 0x00}), &word)) << int(f);
    EXPECT_EQ(0, word);
    const struct {
        uint8_t request;
        uint8_t reply;
        LinkError result;
    } rows[] = {{0x06, 0x06, kLinkOk},          {0x06, 0x86, kLinkException},   {0x06, 0x03, kLinkBadFunction},
                {0x06, 0x71, kLinkBadFunction}, {0x71, 0x71, kLinkOk},          {0x71, 0xF1, kLinkException},
                {0x71, 0x03, kLinkBadFunction}, {0x71, 0x06, kLinkBadFunction}, {0x05, 0x85, kLinkException}};
    for (const auto& row : rows) {
        SendRequest(29, 1, row.request, 0, nullptr);
        // A write echo of register 29, value 0, under the reply's function byte (8 bytes, as expected).
        device().replies.push_back(WithCrc({0x01, row.reply, 0x00, 0x1D, 0x00, 0x00}));
        EXPECT_EQ(row.result, ReceiveReply(row.request, 0)) << int(row.request) << " " << int(row.reply);
    }
    uint16_t value = 9;
    SendRequest(4, 0, 0x70, 0, &value);
    device().replies.push_back(WithCrc({0x01, 0x03, 0x00, 0x05}));
    EXPECT_EQ(kLinkBadFunction, ReceiveReply(0x70, 0));
    EXPECT_EQ(9, value);
}

// Only a byte count of exactly the words asked for is data; anything else stores nothing.
TEST_F(ReplyTest, ByteCounts) {
    uint16_t word = 9;
    EXPECT_EQ(kLinkBadByteCount, ReadOne(WithCrc({0x01, 0x03, 0x00, 0x00, 0x01}), &word));
    EXPECT_EQ(kLinkBadByteCount, ReadOne(WithCrc({0x01, 0x03, 0x01, 0x00, 0x01}), &word));
    EXPECT_EQ(9, word);
    uint16_t two[3] = {0, 0, 0xBEEF};
    SendRequest(0, 2, 3, 0, two);
    device().replies.push_back(WithCrc({0x01, 0x03, 0x04, 0x00, 0x05, 0x00, 0x06}));
    EXPECT_EQ(kLinkOk, ReceiveReply(3, 2));
    EXPECT_EQ(5, two[0]);
    EXPECT_EQ(6, two[1]);
    EXPECT_EQ(0xBEEF, two[2]);
    for (uint8_t count : {0x02, 0x03, 0x05, 0xFF}) {
        SendRequest(0, 2, 3, 0, two);
        device().replies.push_back(WithCrc({0x01, 0x03, count, 0x00, 0x07, 0x00, 0x08}));
        EXPECT_EQ(kLinkBadByteCount, ReceiveReply(3, 2)) << int(count);
        EXPECT_EQ(5, two[0]);
        EXPECT_EQ(6, two[1]);
    }
    // A read of no register has no word to hold.
    SendRequest(0, 0, 3, 0, two);
    device().replies.push_back(WithCrc({0x01, 0x03, 0x00}));
    EXPECT_EQ(kLinkBadByteCount, ReceiveReply(3, 0));
}

TEST_F(ReplyTest, FourByteDataFrameStoresNothing) {
    uint16_t words[10];
    for (auto& w : words) w = 0x5A5A;
    SendRequest(0, 10, 3, 0, words);
    device().replies.push_back({0x01, 0x03, 0x40, 0x21, 0x00});  // 40 21 is the CRC of 01 03
    ReceiveReply(3, 0);
    EXPECT_EQ(kLinkBadByteCount, CheckReply(4));
    for (auto w : words) EXPECT_EQ(0x5A5A, w);
}

TEST_F(ReplyTest, WriteEchoChecks) {
    EXPECT_EQ(kLinkOk, Write(-5, {0x01, 0x06, 0x00, 0x1D, 0xFF, 0xFB, 0x19, 0xBF}));
    EXPECT_EQ(kLinkBadRegister, Write(-5, WithCrc({0x01, 0x06, 0x01, 0x00, 0xFF, 0xFB})));
    EXPECT_EQ(kLinkValueMismatch, Write(-5, WithCrc({0x01, 0x06, 0x00, 0x1D, 0xFF, 0xFA})));
}

TEST_F(ReplyTest, PrivateReadStoresOneWord) {
    uint16_t word = 0;
    SendRequest(21, 0, 0x70, 0, &word);
    device().replies.push_back(WithCrc({0x01, 0x70, 0xFF, 0x38}));
    EXPECT_EQ(kLinkOk, ReceiveReply(0x70, 0));
    EXPECT_EQ(0xFF38, word);
    EXPECT_EQ(-200, ReplySignedWord(2));
    EXPECT_EQ(0x70, ReplyByte(1));
}

TEST_F(ReplyTest, CoilEcho) {
    SendRequest(0, 1, 5, 0, nullptr);
    device().replies.push_back(WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(kLinkOk, ReceiveReply(5, 0));
    SendRequest(0, 1, 5, 0, nullptr);
    device().replies.push_back(WithCrc({0x01, 0x05, 0x00, 0x00, 0x12, 0x34}));
    EXPECT_EQ(kLinkValueMismatch, ReceiveReply(5, 0));
}

TEST_F(ReplyTest, NoPortOpenIsTimeoutWithoutBlocking) {
    ClosePort();
    uint16_t word = 3;
    SendRequest(0, 1, 3, 0, &word);
    EXPECT_EQ(kLinkTimeout, ReceiveReply(3, 1));
    EXPECT_EQ(3, word);
}

TEST(LinkErrorTextTest, AllSlots) {
    const char* expected[21] = {"",
                                "",
                                "",
                                "",
                                "Escravo não respondeu o endereço correto",
                                "Número de bytes a receber inválido",
                                "Endereço de registrador inválido",
                                "Valor retornado é diferente do valor forçado",
                                "Resposta de execução do escravo",
                                "Comando inválido",
                                "Buffer de recepção cheio",
                                "CRC inválido",
                                "",
                                "",
                                "",
                                "",
                                "",
                                "",
                                "",
                                "",
                                "Time-out"};
    for (unsigned code = 0; code < 21; ++code) {
        EXPECT_STREQ(expected[code], LinkErrorText(code)) << code;
        EXPECT_LT(std::strlen(LinkErrorText(code)), 45u);
    }
    EXPECT_STREQ("", LinkErrorText(21));
    // Single CP1252 bytes: "não" is three bytes.
    EXPECT_EQ('\xE3', LinkErrorText(4)[9]);
}

}  // namespace
