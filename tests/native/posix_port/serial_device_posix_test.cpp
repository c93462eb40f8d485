// The POSIX serial device on a pseudo-terminal pair: the Windows read time-outs the frame layer relies on, and a
// bounded write.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <limits.h>
#include <pty.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "serial_device.h"

namespace {

// Bytes the far end sends: delayMs after the previous burst (or after the read began), count bytes at once.
struct Burst {
    int delayMs;
    size_t count;
};

// The port's end is the pseudo-terminal's secondary side, opened by name as a real port would be;
// the test plays the transmitter on the primary side.
class PosixPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[PATH_MAX];
        ASSERT_EQ(0, openpty(&primary_, &secondary_, name, nullptr, nullptr));
        ASSERT_TRUE(device_.Open(name));
        ASSERT_TRUE(device_.Configure("COM1:9600,n,8,1", 9600));
    }
    void TearDown() override {
        device_.Close();
        if (secondary_ >= 0) close(secondary_);
        if (primary_ >= 0) close(primary_);
    }

    // Reads `asked` bytes while the far end sends `line`; what is left of the line is then dropped.
    size_t ReadWhile(size_t asked, const std::vector<Burst>& line) {
        std::thread far([this, line] {
            const std::vector<uint8_t> bytes(64, 0x5A);
            for (const Burst& burst : line) {
                std::this_thread::sleep_for(std::chrono::milliseconds(burst.delayMs));
                if (write(primary_, bytes.data(), burst.count) != static_cast<ssize_t>(burst.count)) ADD_FAILURE();
            }
        });
        std::vector<uint8_t> buffer(asked + 64, 0);
        const size_t got = device_.Read(buffer.data(), asked);
        far.join();
        device_.Purge(true, true);
        return got;
    }

    SerialDevice& device_ = SystemSerialDevice();
    int primary_ = -1;
    int secondary_ = -1;
};

// Each row is a read the frame layer makes: the first read of a reply under the port's time-outs
// {interval, per byte, constant}, the longer wait of a silent line {interval, 0, constant}, and the
// byte-at-a-time reads {interval, 0, interval}. The gaps are far from the limits they test.
TEST_F(PosixPortTest, ReadEndsAsTheWindowsReadTimeoutsSay) {
    struct Row {
        const char* what;
        ReadTimeouts timeouts;
        size_t asked;
        std::vector<Burst> line;
        size_t expected;
    };
    const Row rows[] = {
        {"ends at the count asked, later bytes stay queued", {75, 2, 126}, 5, {{0, 8}}, 5},
        {"one byte of three", {75, 0, 75}, 1, {{0, 3}}, 1},
        {"a silent line gives nothing once the constant is over", {75, 0, 16}, 13, {}, 0},
        {"the interval runs only once a byte has come", {50, 0, 3000}, 4, {{400, 4}}, 4},
        {"a pause longer than the interval ends the read", {50, 0, 3000}, 8, {{0, 3}, {600, 2}}, 3},
        {"the constant bounds the read though no pause reaches the interval",
         {5000, 0, 300},
         8,
         {{0, 2}, {1500, 2}},
         2},
        {"the per-byte time counts the bytes asked; an interval of 0 is not used",
         {0, 200, 100},
         8,
         {{0, 2}, {600, 2}, {1900, 2}},
         4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(device_.SetReadTimeouts(row.timeouts));
        EXPECT_EQ(row.expected, ReadWhile(row.asked, row.line));
    }
}

// A far end that takes nothing more (a stalled adapter) must end the write within its time-out,
// reported as not sent, instead of holding the program.
TEST_F(PosixPortTest, StalledWriteEndsWithFalse) {
    ASSERT_TRUE(device_.SetWriteTimeouts({0, 200}));
    const std::vector<uint8_t> bytes(1 << 20, 0x5A);  // more than any pseudo-terminal buffers
    EXPECT_FALSE(device_.Write(bytes.data(), bytes.size()));
}

}  // namespace
