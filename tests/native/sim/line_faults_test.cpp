// What the master hears through each fault of the wire, on the simulator's own clock.
#include <gtest/gtest.h>

#include <tuple>

#include "control_commands.h"
#include "sim_line.h"
#include "sim_test_frames.h"

using namespace orvisim;

namespace {

// The master's end of a simulated line whose clock moves only when the test moves it.
class Wire {
public:
    explicit Wire(int speed = 9600) : speed_(speed), bus_({{1, speed}}, 0) {}

    std::string Command(const std::string& line) { return commands_.Execute(line); }
    void Send(const RequestFrame& frame) { line_.FromMaster(frame.data(), frame.size(), now_, speed_); }
    // Runs the line for ms milliseconds; returns what the master heard, as hex, and keeps when it came.
    std::string RunFor(int ms) {
        std::string heard;
        for (const std::uint64_t end = now_ + static_cast<std::uint64_t>(ms); now_ < end; ++now_) {
            line_.Tick(now_, speed_);
            const std::vector<std::uint8_t> bytes = line_.TakeDue(now_, speed_);
            if (bytes.empty()) continue;
            const std::string hex = HexFrame(bytes.data(), bytes.size());
            chunks_ += (chunks_.empty() ? "" : " ") + std::to_string(now_) + ":" + hex;
            heard += hex;
        }
        return heard;
    }
    const std::string& Chunks() const { return chunks_; }

private:
    int speed_;
    std::uint64_t now_ = 0;
    Bus bus_;
    ControlCommands commands_{bus_, [this] { return speed_; }, [this] { return now_; }};
    SimLine line_{bus_};
    std::string chunks_;
};

const RequestFrame kRead = simtest::Request(1, 3, 8, 1);  // 01030008000105C8
const char* const kReply = "01030200017984";
const char* const kOtherRequest = "630300000002CC49";

}  // namespace

// One read of register 8 at 9600 bit/s, sent at 0 ms, and the 50 ms after it. The reply is paced from
// 11 to 18 ms. Chunks, where given: when each part arrived.
TEST(SimLineFaults, WhatTheMasterHears) {
    const struct {
        std::vector<std::string> commands;
        std::string heard;
        const char* chunks;
    } rows[] = {
        {{}, kReply, nullptr},
        {{"line swapped on"}, "00", nullptr},
        {{"line echo whole"}, std::string("01030008000105C8") + kReply, nullptr},
        {{"line rtsearly 3"}, "010300", nullptr},
        {{"line rtsearly 3", "line echo whole"}, "010300", nullptr},
        {{"rtslate 1 2"}, "0200017984", nullptr},
        {{"rtslate 1 9"}, "", nullptr},
        {{"line bias off"}, std::string("00") + kReply, nullptr},
        {{"parity 1 even"}, "01000200017900", nullptr},
        {{"parity 1 odd 2"}, "00030000000084", nullptr},
        {{"parity 1 none 2"}, kReply, nullptr},
        // Its turn at 15 ms falls inside our reply and is skipped; at 30 and 45 ms the line is quiet.
        {{"line master 15"}, std::string(kReply) + kOtherRequest + kOtherRequest, nullptr},
        {{"line latency 16"}, kReply, "16:010302000179 32:84"},
        {{"line swapped on", "line echo whole", "line rtsearly 2", "rtslate 1 1", "line bias off", "parity 1 even",
          "line master 5", "line noise 0.5 1", "line latency 10", "reset"},
         kReply,
         "11:01 12:03 13:02 14:00 15:01 16:79 18:84"},
        {{"line swapped on", "line swapped off", "line echo whole", "line echo off", "line rtsearly 1",
          "line rtsearly off", "rtslate 1 3", "rtslate 1 off", "line bias off", "line bias on", "parity 1 odd",
          "parity 1 none", "line master 5", "line master off", "line latency 9", "line latency off", "line noise 0.5",
          "line noise off"},
         kReply,
         nullptr},
    };
    for (const auto& row : rows) {
        std::string name;
        for (const std::string& command : row.commands) name += "[" + command + "] ";
        Wire wire;
        for (const std::string& command : row.commands) ASSERT_EQ("OK", wire.Command(command).substr(0, 2)) << command;
        wire.Send(kRead);
        EXPECT_EQ(row.heard, wire.RunFor(50)) << name;
        if (row.chunks != nullptr) {
            EXPECT_EQ(row.chunks, wire.Chunks()) << name;
        }
    }
}

TEST(SimLineFaults, RefusedSettings) {
    Wire wire;
    for (const char* line :
         {"line swapped", "line swapped yes", "line echo on", "line rtsearly 8", "line bias 1", "line master 0",
          "line noise 1.5", "line noise -0.1", "line noise 0.1 x", "line latency 256", "line fog on", "rtslate 1",
          "rtslate 2 3", "parity 1 mark", "parity 1 even 3"}) {
        EXPECT_EQ("ERR", wire.Command(line).substr(0, 3)) << line;
    }
}

// Noise has no fixed bytes to expect: what counts is that a seed repeats a run, that both directions
// suffer, and that a faster line suffers more.
TEST(SimLineFaults, NoiseRepeatsWithItsSeedAndGrowsWithTheRate) {
    const auto run = [](int speed, const std::string& noise) {
        Wire wire(speed);
        EXPECT_EQ("OK 7", wire.Command("line noise " + noise + " 7"));
        std::string heard;
        int lost = 0;
        int damaged = 0;
        for (int i = 0; i < 200; ++i) {
            wire.Send(kRead);
            const std::string reply = wire.RunFor(200);
            heard += reply + "/";
            if (reply.empty()) {
                ++lost;
            } else if (reply != kReply) {
                ++damaged;
            }
        }
        return std::make_tuple(heard, lost, damaged);
    };
    const auto slow = run(1200, "0.002");
    const auto fast = run(19200, "0.002");
    EXPECT_EQ(std::get<0>(fast), std::get<0>(run(19200, "0.002"))) << "the same seed, another run";
    EXPECT_GT(std::get<1>(fast), 0) << "requests hit on their way to the transmitter go unanswered";
    EXPECT_GT(std::get<2>(fast), 0) << "replies hit on their way to the master";
    EXPECT_GT(std::get<1>(fast) + std::get<2>(fast), 4 * (std::get<1>(slow) + std::get<2>(slow)));
}
