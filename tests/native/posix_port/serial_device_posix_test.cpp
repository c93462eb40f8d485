// The POSIX serial device on a pseudo-terminal pair: the Windows read time-outs the frame layer relies on, a
// bounded write, one owner of the port, and (scripted behind the driver seam) a board's RS-485 mode and the
// wait for the transmitter to empty.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <linux/serial.h>
#include <pty.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "serial_device.h"
#include "serial_device_posix.h"

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
        name_ = name;
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
    std::string name_;
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

// A second opener of a held port is refused with EBUSY, root or not (TIOCEXCL does not bind root), and the
// port is free again once closed.
TEST_F(PosixPortTest, OneOwnerOfThePortAtATime) {
    const int other = open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (other >= 0) {  // root passes TIOCEXCL; only the lock keeps it off the line
        EXPECT_NE(0, flock(other, LOCK_EX | LOCK_NB)) << "the device holds no lock on the port";
        close(other);
    } else {
        EXPECT_EQ(EBUSY, errno);
    }
    device_.Close();

    const int holder = open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(0, flock(holder, LOCK_EX | LOCK_NB));
    errno = 0;
    EXPECT_FALSE(device_.Open(name_.c_str()));
    EXPECT_EQ(EBUSY, errno) << "the user reads that another program uses the port";
    EXPECT_FALSE(device_.IsOpen());
    close(holder);
    EXPECT_TRUE(device_.Open(name_.c_str()));
    EXPECT_TRUE(device_.Open(name_.c_str())) << "opening again lets go of the port first";
    EXPECT_FALSE(device_.Configure("COM1:9600,n,8,1", 57600)) << "a rate the link never uses";
    for (int32_t baud : {1200, 38400}) EXPECT_TRUE(device_.Configure("COM1:9600,n,8,1", baud)) << baud;

    device_.Close();
    const struct {
        const char* name;
        int error;
    } refused[] = {{"/dev/null", ENOTTY}, {"/nonexistent/ttyUSB0", ENOENT}};
    for (const auto& row : refused) {
        EXPECT_FALSE(device_.Open(row.name)) << row.name;
        EXPECT_EQ(row.error, errno) << row.name;
        EXPECT_FALSE(device_.IsOpen()) << row.name;
    }
}

// Every byte reaches the far end in order; purging one side keeps what the other holds; a far end that
// hangs up (an unplugged adapter) ends the write with false.
TEST_F(PosixPortTest, WritesArriveWholeAndPurgeClearsOnlyTheSideAsked) {
    ASSERT_TRUE(device_.SetWriteTimeouts({2, 100}));
    ASSERT_TRUE(device_.SetReadTimeouts({75, 2, 126}));
    const uint8_t request[] = {0x01, 0x03, 0x00, 0x2C};
    ASSERT_TRUE(device_.Write(request, sizeof request));
    device_.Purge(true, false);
    uint8_t heard[8] = {};
    pollfd sent = {primary_, POLLIN, 0};
    ASSERT_EQ(1, poll(&sent, 1, 2000)) << "the receive purge took the request off the line";
    ASSERT_EQ(4, read(primary_, heard, sizeof heard));
    EXPECT_EQ(0, std::memcmp(request, heard, sizeof request));

    ASSERT_EQ(2, write(primary_, request, 2));
    pollfd arrived = {secondary_, POLLIN, 0};  // the same terminal as the port's: the bytes have crossed
    ASSERT_EQ(1, poll(&arrived, 1, 2000));
    device_.Purge(false, true);
    uint8_t reply[8] = {};
    EXPECT_EQ(2u, device_.Read(reply, 2)) << "a transmit purge leaves the received bytes";

    // At once, not when the write's bound runs out.
    ASSERT_TRUE(device_.SetWriteTimeouts({0, 3000}));
    close(primary_);
    primary_ = -1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device_.Write(request, sizeof request));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
}

// What the kernel answers on a board with built-in RS-485 and a real UART; everything else reaches the
// pseudo-terminal.
struct ScriptedDriver {
    bool rs485 = false;             // TIOCGRS485 and TIOCSRS485 are answered
    bool refusesSet = false;        // TIOCSRS485 fails
    bool dropsEnabled = false;      // accepts TIOCSRS485 but keeps RS-485 off
    uint32_t readBackPolarity = 0;  // the polarity the driver chooses itself, if not 0
    serial_rs485 board{};
    std::vector<uint32_t> writtenFlags;
    int setCalls = 0;  // TIOCSRS485, refused or not
    bool refusesOutQueue = false;
    std::vector<int> outQueue;  // TIOCOUTQ answers in turn, the last one repeated; none: the real count
    int lsrEmptyAfter = -1;     // TIOCSERGETLSR shows the transmitter empty from this answer on; -1: refused
    int lsrAsked = 0;
    int rtsChanges = 0;
};

ScriptedDriver driver;

int ScriptedIoctl(int fd, unsigned long request, void* argument) {
    switch (request) {
    case TIOCGRS485:
    case TIOCSRS485:
        if (request == TIOCSRS485) ++driver.setCalls;
        if (!driver.rs485 || (request == TIOCSRS485 && driver.refusesSet)) break;
        if (request == TIOCGRS485) {
            *static_cast<serial_rs485*>(argument) = driver.board;
            return 0;
        }
        driver.board = *static_cast<serial_rs485*>(argument);
        driver.writtenFlags.push_back(driver.board.flags);
        if (driver.dropsEnabled) driver.board.flags &= ~static_cast<uint32_t>(SER_RS485_ENABLED);
        if (driver.readBackPolarity != 0)
            driver.board.flags =
                (driver.board.flags & ~static_cast<uint32_t>(SER_RS485_RTS_ON_SEND | SER_RS485_RTS_AFTER_SEND)) |
                driver.readBackPolarity;
        return 0;
    case TIOCOUTQ:
        if (driver.refusesOutQueue) break;
        if (driver.outQueue.empty()) return ioctl(fd, request, argument);
        *static_cast<int*>(argument) = driver.outQueue.front();
        if (driver.outQueue.size() > 1) driver.outQueue.erase(driver.outQueue.begin());
        return 0;
    case TIOCSERGETLSR:
        if (driver.lsrEmptyAfter < 0) break;
        *static_cast<unsigned int*>(argument) = ++driver.lsrAsked > driver.lsrEmptyAfter ? TIOCSER_TEMT : 0;
        return 0;
    case TIOCMBIS:
    case TIOCMBIC: ++driver.rtsChanges; return ioctl(fd, request, argument);
    default: return ioctl(fd, request, argument);
    }
    if (request == TIOCSERGETLSR) ++driver.lsrAsked;
    errno = ENOTTY;
    return -1;
}

const PosixPortCalls kScriptedCalls = {ScriptedIoctl};

class ScriptedPortTest : public PosixPortTest {
protected:
    void SetUp() override {
        driver = ScriptedDriver();
        UsePosixPortCalls(&kScriptedCalls);
        PosixPortTest::SetUp();
    }
    void TearDown() override {
        PosixPortTest::TearDown();
        UsePosixPortCalls(nullptr);
    }

    // Opens the port again on a board with these RS-485 settings, configures baud; what went to stderr.
    std::string OpenOnBoard(uint32_t flags, uint32_t delayAfterMs, int32_t baud) {
        device_.Close();
        driver.rs485 = true;
        driver.board = serial_rs485{};
        driver.board.flags = flags;
        driver.board.delay_rts_after_send = delayAfterMs;
        driver.writtenFlags.clear();
        testing::internal::CaptureStderr();
        const bool opened = device_.Open(name_.c_str()) && device_.Configure("COM1:9600,n,8,1", baud);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(opened);
        return said;
    }
};

// The polarity of the board's wiring is kept, the kernel then drives RTS and the link leaves it alone;
// the board's settings are put back on close.
TEST_F(ScriptedPortTest, BoardRs485ModeKeepsItsPolarityAndIsPutBack) {
    EXPECT_FALSE(device_.TogglesRts()) << "a pseudo-terminal has no RS-485 mode";
    device_.SetRts(true);
    EXPECT_EQ(1, driver.rtsChanges) << "RTS by hand without the kernel's mode";
    device_.Close();
    EXPECT_EQ(0, driver.setCalls) << "nothing to put back on a port without the mode";

    EXPECT_EQ("", OpenOnBoard(SER_RS485_RTS_AFTER_SEND, 0, 19200));
    ASSERT_EQ(1u, driver.writtenFlags.size());
    EXPECT_EQ(static_cast<uint32_t>(SER_RS485_ENABLED | SER_RS485_RTS_AFTER_SEND), driver.writtenFlags[0]);
    EXPECT_TRUE(device_.TogglesRts());
    driver.rtsChanges = 0;
    device_.SetRts(true);
    device_.SetRts(false);
    EXPECT_EQ(0, driver.rtsChanges) << "the kernel drives RTS";
    device_.Close();
    ASSERT_EQ(2u, driver.writtenFlags.size());
    EXPECT_EQ(static_cast<uint32_t>(SER_RS485_RTS_AFTER_SEND), driver.writtenFlags[1]) << "the board's own";

    OpenOnBoard(SER_RS485_RTS_ON_SEND | SER_RS485_RTS_AFTER_SEND | SER_RS485_RX_DURING_TX, 0, 9600);
    EXPECT_EQ(static_cast<uint32_t>(SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND), driver.writtenFlags.at(0));

    // The driver picks its own polarity: the mode is still the kernel's.
    driver.readBackPolarity = SER_RS485_RTS_AFTER_SEND;
    OpenOnBoard(0, 0, 9600);
    EXPECT_TRUE(device_.TogglesRts());

    // Accepted but not kept: RTS by hand again.
    driver.readBackPolarity = 0;
    driver.dropsEnabled = true;
    OpenOnBoard(0, 0, 9600);
    EXPECT_FALSE(device_.TogglesRts());
    device_.SetRts(true);
    EXPECT_EQ(1, driver.rtsChanges);

    // A driver that refuses the mode has nothing of its own changed, so nothing is put back.
    driver.dropsEnabled = false;
    driver.refusesSet = true;
    OpenOnBoard(SER_RS485_RTS_AFTER_SEND, 0, 9600);
    EXPECT_FALSE(device_.TogglesRts());
    driver.setCalls = 0;
    device_.Close();
    EXPECT_EQ(0, driver.setCalls);
}

// A board that holds the line longer than 3.5 characters after the request is reported once, at a rate
// where it matters.
TEST_F(ScriptedPortTest, LateLineReleaseOfTheBoardIsReported) {
    EXPECT_EQ("", OpenOnBoard(SER_RS485_RTS_ON_SEND, 3, 9600));
    const std::string said = OpenOnBoard(SER_RS485_RTS_ON_SEND, 4, 9600);
    EXPECT_NE(std::string::npos, said.find("segura o RTS por 4 ms")) << said;
    EXPECT_NE(std::string::npos, said.find("9600 bit/s")) << said;
    EXPECT_NE(std::string::npos, said.find(name_)) << said;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(device_.Configure("COM1:9600,n,8,1", 19200));
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "once for each opening";
    driver.dropsEnabled = true;
    EXPECT_EQ("", OpenOnBoard(SER_RS485_RTS_ON_SEND, 50, 9600)) << "RTS by hand: the board's delay plays no part";
}

// The driver's queue, then the UART's transmitter-empty where the driver tells it; never past the bound.
TEST_F(ScriptedPortTest, TransmitEmptyWaitsForQueueAndUartWithinTheBound) {
    driver.outQueue = {3, 2, 0};
    driver.lsrEmptyAfter = 2;
    EXPECT_TRUE(device_.WaitTransmitEmpty(1000));
    EXPECT_EQ(3, driver.lsrAsked) << "asked until the shift register was empty";

    driver.outQueue = {0};
    driver.lsrEmptyAfter = -1;
    driver.lsrAsked = 0;
    EXPECT_TRUE(device_.WaitTransmitEmpty(1000)) << "without TIOCSERGETLSR the line-time rule covers the UART";
    EXPECT_EQ(1, driver.lsrAsked);

    driver.refusesOutQueue = true;
    driver.lsrEmptyAfter = 1000000;
    EXPECT_TRUE(device_.WaitTransmitEmpty(60000)) << "a driver without an output count leaves it to the line time";
    driver.refusesOutQueue = false;

    // A byte still queued holds the wait whatever the UART says; an empty queue waits for the UART.
    const struct {
        int queued;
        int lsrEmptyAfter;
    } stalled[] = {{5, 1000000}, {1, 0}, {0, 1000000}};
    for (const auto& row : stalled) {
        driver.outQueue = {row.queued};
        driver.lsrEmptyAfter = row.lsrEmptyAfter;
        driver.lsrAsked = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(device_.WaitTransmitEmpty(30)) << row.queued;
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    }
}

}  // namespace
