// Two lines in one process, on two threads at once: nothing of one reaches the other.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "line.h"
#include "rtu_frame.h"
#include "scripted_serial_device.h"
#include "serial_port.h"
#include "transactions.h"

namespace {

// A transmitter at address that answers every read of one word with value, every write with its
// echo, and every failEvery-th request with a reply whose CRC is wrong.
void Answer(ScriptedSerialDevice& device, uint8_t address, uint16_t value, unsigned failEvery) {
    device.answer = [&device, address, value, failEvery](const Bytes& request) {
        if (request.size() < 8 || request[0] != address) return Bytes();
        Bytes reply;
        if (request[1] == 6) {
            reply = request;
        } else {
            reply = WithCrc({address, 3, 2, static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
        }
        if (failEvery && device.written.size() % failEvery == 0) reply.back() ^= 0x5A;
        return reply;
    };
}

struct TestLine {
    TestLine(const char* port, uint8_t address, int32_t baud) : clock(device), line(device, &clock) {
        device.openable.insert(port);
        std::snprintf(line.settings.portName, sizeof line.settings.portName, "%s", port);
        line.settings.deviceAddress = address;
        line.settings.baudRate = baud;
        line.frameObserver = [this](FrameDirection direction, const uint8_t* bytes, size_t count) {
            if (direction == FrameDirection::Sent && count) seenAddresses.push_back(bytes[0]);
        };
    }
    ScriptedSerialDevice device;
    ScriptedClock clock;
    Line line;
    std::vector<uint8_t> seenAddresses;
    std::vector<LinkError> results;
};

void Work(TestLine& test, int rounds, int8_t reg, int16_t value) {
    for (int i = 0; i < rounds; ++i) {
        uint16_t word = 0;
        test.results.push_back(ReadHolding(test.line, reg, &word));
        test.results.push_back(WriteRegisterByEcho(test.line, reg, value));
    }
}

TEST(TwoLines, OnTwoThreadsEachKeepsItsOwnFramesSettingsErrorsAndCounters) {
    // Tests before this one in the same process may have used the configurator's line: what it holds now
    // is what it must still hold at the end.
    const LineCounters configurator = ConfiguratorLine().counters;
    TestLine a("COM3", 7, 9600);
    TestLine b("COM4", 12, 1200);
    Answer(a.device, 7, 0x1234, 0);
    Answer(b.device, 12, 0x4321, 4);  // every fourth request of b's comes back corrupted
    ASSERT_EQ(1, OpenPort(a.line));
    ASSERT_EQ(1, OpenPort(b.line));

    const int rounds = 1000;
    std::thread first([&] { Work(a, rounds, 30, 5); });
    std::thread second([&] { Work(b, rounds, 31, -9); });
    first.join();
    second.join();

    // Frames: each device heard only its own line's address, register and rate.
    for (const Bytes& request : a.device.written) {
        ASSERT_EQ(7, request[0]);
        ASSERT_EQ(30, request[3]);
    }
    for (const Bytes& request : b.device.written) {
        ASSERT_EQ(12, request[0]);
        ASSERT_EQ(31, request[3]);
    }
    EXPECT_EQ(9600, a.device.lineBaud);
    EXPECT_EQ(1200, b.device.lineBaud);
    EXPECT_EQ(a.device.written.size(), a.seenAddresses.size());
    EXPECT_EQ(b.device.written.size(), b.seenAddresses.size());

    // Errors: a's transmitter never failed, b's failures are b's alone and were retried.
    for (LinkError result : a.results) ASSERT_EQ(kLinkOk, result);
    EXPECT_EQ(2u * rounds, a.device.written.size()) << "no retry on a line that never failed";
    EXPECT_EQ(0u, a.line.counters.Failures(kLinkBadCrc));
    EXPECT_GT(b.line.counters.Failures(kLinkBadCrc), 0u);
    EXPECT_GT(b.device.written.size(), 2u * rounds);

    // Counters: each line counted its own requests and replies.
    EXPECT_EQ(a.device.written.size(), a.line.counters.requests);
    EXPECT_EQ(b.device.written.size(), b.line.counters.requests);
    EXPECT_EQ(a.line.counters.requests, a.line.counters.goodReplies);
    EXPECT_EQ(b.line.counters.requests, b.line.counters.goodReplies + b.line.counters.Failures(kLinkBadCrc));

    // The configurator's line saw none of it.
    const LineCounters& after = ConfiguratorLine().counters;
    EXPECT_EQ(configurator.requests, after.requests);
    EXPECT_EQ(configurator.goodReplies, after.goodReplies);
    for (int error = 0; error < LineCounters::kErrorCodes; ++error)
        EXPECT_EQ(configurator.failures[error], after.failures[error]) << "error " << error;
}

}  // namespace
