// The real orvi-sim program on a pseudo-terminal: line speed, replies on the wire, control channel, clean exit.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "bus.h"
#include "sim_client.h"
#include "sim_process.h"
#include "sim_test_frames.h"

namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedConstant(int baud) {
    switch (baud) {
    case 4800: return B4800;
    case 19200: return B19200;
    default: return B9600;
    }
}

class SimProcess : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.reset(new RunningSim({"--device", "2:4800"}));
        ASSERT_TRUE(sim_->Started()) << "orvi-sim did not come up";
        port_ = sim_->ControlPort();
        control_ = &sim_->Control();
        link_ = sim_->Link();
        line_ = open(link_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(line_, 0) << link_;
    }

    void TearDown() override {
        if (line_ >= 0) close(line_);
        EXPECT_TRUE(sim_->Stop()) << "orvi-sim did not exit cleanly or left its link behind";
    }

    void SetSpeed(int baud) {
        termios settings{};
        ASSERT_EQ(0, tcgetattr(line_, &settings));
        cfmakeraw(&settings);
        cfsetispeed(&settings, SpeedConstant(baud));
        cfsetospeed(&settings, SpeedConstant(baud));
        ASSERT_EQ(0, tcsetattr(line_, TCSANOW, &settings));
    }

    void Send(const orvisim::RequestFrame& frame) { ASSERT_EQ(8, write(line_, frame.data(), frame.size())); }

    // What arrives until `count` bytes are in or `limitMs` has passed.
    std::vector<std::uint8_t> Receive(std::size_t count, int limitMs) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            pollfd fd = {line_, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left)) <= 0) break;
            std::uint8_t buffer[256];
            const ssize_t n = read(line_, buffer, sizeof buffer);
            if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    std::unique_ptr<RunningSim> sim_;
    std::string link_;
    int port_ = 0;
    int line_ = -1;
    SimClient* control_ = nullptr;
};

}  // namespace

TEST_F(SimProcess, AnswersAtItsSpeedAfterTheLineTimeAndNotAtAnother) {
    SetSpeed(9600);
    EXPECT_EQ("OK 9600", control_->Command("speed"));
    const orvisim::RequestFrame block = simtest::Request(1, 3, 0, 68);
    const auto start = Clock::now();
    Send(block);
    std::vector<std::uint8_t> reply = Receive(1, 2000);
    const auto firstByte = Clock::now() - start;
    const std::vector<std::uint8_t> rest = Receive(140, 2000);
    const auto elapsed = Clock::now() - start;
    reply.insert(reply.end(), rest.begin(), rest.end());
    ASSERT_EQ(141u, reply.size());
    // As on a wire, a character at a time: a host waiting for a reply to begin hears it begin.
    EXPECT_LT(firstByte, std::chrono::milliseconds(60)) << "the first of 141 bytes came with the last";
    EXPECT_TRUE(orvisim::HasValidCrc(reply.data(), reply.size()));
    EXPECT_EQ(111, simtest::ReplyWord(reply, 7));
    EXPECT_EQ(1, simtest::ReplyWord(reply, 44));
    EXPECT_GE(elapsed, std::chrono::microseconds(8333 + 1000 + 146875))
        << "the request's line time, the answer time, the reply's 141 bytes at 9600 bit/s";

    // Transmitter 2 runs at 4800: at 9600 it cannot make out its request.
    Send(simtest::Request(2, 3, 8, 1));
    ASSERT_TRUE(WaitFor([this] { return control_->Command("garbled") == "OK 1"; }));
    EXPECT_TRUE(Receive(1, 100).empty());

    SetSpeed(4800);
    const auto probeStart = Clock::now();
    Send(simtest::Request(0, 3, 44, 1));  // the search probe: only transmitter 2 is at 4800
    const std::vector<std::uint8_t> probe = Receive(7, 1000);
    ASSERT_EQ(7u, probe.size());
    // The pseudo-terminal hands over the request at once; a transmitter on a wire hears its end 16.7 ms on.
    EXPECT_GE(Clock::now() - probeStart, std::chrono::microseconds(16667 + 1000 + 14583));
    EXPECT_EQ(2, probe[0]);
    EXPECT_EQ(2, simtest::ReplyWord(probe, 0));

    const std::vector<std::string> log = control_->Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(
        "010300000044"
        "45F9",
        log[0]);
    EXPECT_EQ(orvisim::HexFrame(simtest::Request(0, 3, 44, 1).data(), 8), log[1]);
}

TEST_F(SimProcess, ControlChannelSteersRegistersFaultsAndSpeedChanges) {
    SetSpeed(9600);
    control_->Set(1, 31, -40);
    EXPECT_EQ(-40, control_->Get(1, 31));
    control_->SetPrivate(1, 4, 0x21);
    EXPECT_EQ(0x21, control_->GetPrivate(1, 4));
    EXPECT_THROW(control_->Get(9, 1), std::runtime_error);

    // A converter that hears itself: the request comes back ahead of the reply.
    control_->Fault(1, "echo", 1);
    const orvisim::RequestFrame status = simtest::Request(1, 0x70, 4, 0);
    Send(status);
    std::vector<std::uint8_t> reply = Receive(14, 1000);
    ASSERT_EQ(14u, reply.size());
    EXPECT_TRUE(std::equal(status.begin(), status.end(), reply.begin()));
    EXPECT_EQ(0x21, reply[11]);
    Send(status);
    EXPECT_EQ(6u, Receive(14, 200).size()) << "the fault was armed for one reply";

    // A new speed answers at the old one, then only at the new one.
    Send(simtest::Request(1, 6, 45, 4));
    EXPECT_EQ(8u, Receive(8, 1000).size());
    ASSERT_TRUE(WaitFor([this] { return control_->Command("devices") == "OK 1:19200 2:4800"; }));
    SetSpeed(19200);
    Send(simtest::Request(1, 3, 8, 1));
    EXPECT_EQ(7u, Receive(7, 1000).size());

    control_->Reset();
    EXPECT_EQ("OK 1:9600 2:4800", control_->Command("devices"));
    EXPECT_TRUE(control_->Log().empty());
    EXPECT_EQ(300, control_->Get(1, 31));

    // Several clients at once, each with its own replies.
    SimClient second(port_);
    ASSERT_TRUE(second.Connected());
    EXPECT_EQ("ERR unknown command", second.Command("hello"));
    EXPECT_EQ(111, control_->Get(1, 7));
}

// The line's faults need the program to wake for them: the other master with nobody writing, the
// swapped line's 0x00 at the end of a request's gap.
TEST_F(SimProcess, LineFaultsWakeTheProgram) {
    SetSpeed(9600);
    control_->Expect("line swapped on");
    Send(simtest::Request(1, 3, 8, 1));
    EXPECT_EQ(std::vector<std::uint8_t>{0x00}, Receive(1, 1000));
    control_->Expect("line swapped off");
    control_->Expect("line master 20");
    EXPECT_EQ(simtest::Bytes("630300000002CC49"), Receive(8, 1000));
}
