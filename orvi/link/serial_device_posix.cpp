// The serial port on Linux and other POSIX systems: termios raw mode, modem-control RTS or the kernel's RS-485 mode.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <string>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include "line_evidence.h"
#include "rs485_mode.h"
#include "serial_device.h"
#include "serial_device_posix.h"

#ifdef TIOCSRS485
static_assert(kRs485Enabled == SER_RS485_ENABLED && kRs485RtsOnSend == SER_RS485_RTS_ON_SEND &&
                  kRs485RtsAfterSend == SER_RS485_RTS_AFTER_SEND && kRs485RxDuringTx == SER_RS485_RX_DURING_TX,
              "the RS-485 rule's flags are the kernel's");
#endif

namespace {

using Clock = std::chrono::steady_clock;

int SystemIoctl(int fd, unsigned long request, void* argument) { return ioctl(fd, request, argument); }

const PosixPortCalls kSystemCalls = {SystemIoctl};

bool SpeedConstant(int32_t baud, speed_t* speed) {
    switch (baud) {
    case 1200: *speed = B1200; return true;
    case 2400: *speed = B2400; return true;
    case 4800: *speed = B4800; return true;
    case 9600: *speed = B9600; return true;
    case 19200: *speed = B19200; return true;
    case 38400: *speed = B38400; return true;
    default: return false;
    }
}

long long MsUntil(Clock::time_point deadline) {
    // Rounded up: a wait never ends before its deadline.
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

class PosixSerialDevice : public SerialDevice {
public:
    void UseCalls(const PosixPortCalls* calls) { calls_ = calls ? calls : &kSystemCalls; }

    bool Open(const char* portName) override {
        if (fd_ >= 0) Close();  // first: the port's own lock and TIOCEXCL would refuse this opening
        const int fd = open(portName, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return false;
        // One program on the line at a time, as Windows grants a COM port to one opener. TIOCEXCL does
        // not bind root, so a lock every opener of this program takes refuses a second one, root or not.
        errno = 0;
        const bool ours = isatty(fd) && Ioctl(fd, TIOCEXCL, nullptr) == 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (!ours) {
            const int saved = errno == 0 ? ENOTTY : errno == EWOULDBLOCK ? EBUSY : errno;
            close(fd);
            errno = saved;
            return false;
        }
        fd_ = fd;
        // A new handle starts without time-outs, as a freshly opened COM port does.
        readTimeouts_ = {0, 0, 0};
        writeTimeouts_ = {0, 0};
        portName_ = portName;
        counterable_ = true;
        countsKnown_ = false;
        EnterRs485Mode();
        return true;
    }

    // 8N1 raw at lineBaud; the mode string is the Windows form and adds nothing here.
    bool Configure(const char*, int32_t lineBaud) override {
        speed_t speed;
        termios settings{};
        if (!SpeedConstant(lineBaud, &speed) || tcgetattr(fd_, &settings) != 0) return false;
        cfmakeraw(&settings);
        settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
        if (tcsetattr(fd_, TCSANOW, &settings) != 0) return false;
        // A driver may accept the call yet keep another speed; only a read-back proves it.
        termios applied{};
        if (tcgetattr(fd_, &applied) != 0 || cfgetospeed(&applied) != speed) return false;
        if (kernelDrivesRts_) kernelDrivesRts_ = KernelKeepsRs485();
        if (kernelDrivesRts_ && !releaseWarned_ && Rs485ReleaseTooLate(releaseDelayMs_, lineBaud)) {
            releaseWarned_ = true;
            std::fprintf(stderr,
                         "Aviso: a placa RS-485 de %s segura o RTS por %u ms depois do envio, mais que 3,5 caracteres "
                         "a %d bit/s: a resposta do transmissor pode chegar antes de a placa liberar a linha.\n",
                         portName_.c_str(), releaseDelayMs_, static_cast<int>(lineBaud));
        }
        return true;
    }

    // The link leaves RTS to the kernel then: it raises RTS for exactly the time the UART sends.
    bool TogglesRts() const override { return kernelDrivesRts_; }

    void SelectEvents(bool) override {}
    void SetQueues(uint32_t, uint32_t) override {}

    void SetRts(bool high) override {
        if (kernelDrivesRts_ || fd_ < 0) return;
        int bits = TIOCM_RTS;
        Ioctl(fd_, high ? TIOCMBIS : TIOCMBIC, &bits);  // a pseudo-terminal has no RTS: ignored
    }

    // Linux USB serial drivers send both control lines with every change: nothing to repeat.
    void ReassertDtr() override {}

    void Purge(bool receiveSide, bool transmitSide) override {
        if (receiveSide && transmitSide)
            tcflush(fd_, TCIOFLUSH);
        else if (receiveSide)
            tcflush(fd_, TCIFLUSH);
        else if (transmitSide)
            tcflush(fd_, TCOFLUSH);
    }

    // Kept for the next reads and writes, as SetCommTimeouts does for its handle.
    bool SetReadTimeouts(const ReadTimeouts& timeouts) override {
        if (fd_ < 0) return false;
        readTimeouts_ = timeouts;
        return true;
    }

    bool SetWriteTimeouts(const WriteTimeouts& timeouts) override {
        if (fd_ < 0) return false;
        writeTimeouts_ = timeouts;
        return true;
    }

    // Gives up after per byte x count + constant (both zero: no bound, as on Windows), so an
    // adapter that stops taking bytes ends the write with false instead of holding the program.
    bool Write(const uint8_t* bytes, size_t count) override {
        if (fd_ < 0) return false;
        const uint64_t boundMs = static_cast<uint64_t>(writeTimeouts_.perByteMs) * count + writeTimeouts_.constantMs;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(boundMs);
        size_t done = 0;
        while (done < count) {
            const ssize_t n = write(fd_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return false;  // an unplugged adapter, a closed pseudo-terminal
            int waitMs = -1;
            if (boundMs != 0) {
                const long long left = MsUntil(deadline);
                if (left <= 0) return false;
                waitMs = static_cast<int>(left < 1000 ? left : 1000);
            }
            pollfd room = {fd_, POLLOUT, 0};
            poll(&room, 1, waitMs);
        }
        return true;
    }

    // What tcdrain waits for, asked without blocking: tcdrain cannot be given up short of a signal, and a
    // stalled adapter holds it for ever. First the driver's output queue, then, where the driver answers
    // TIOCSERGETLSR, the UART's own transmitter-empty (its FIFO and shift register). Where it does not (USB
    // adapters, pseudo-terminals), the frame layer's line-time rule covers the bytes still in the hardware.
    // No event tells either state, so both are polled each millisecond, never past boundMs.
    bool WaitTransmitEmpty(uint32_t boundMs) override {
        const Clock::time_point bound = Clock::now() + std::chrono::milliseconds(boundMs);
        for (;;) {
            if (fd_ < 0) return true;
            int queued = 0;
            if (Ioctl(fd_, TIOCOUTQ, &queued) != 0) return true;
            if (queued <= 0) {
                unsigned int status = 0;
                if (Ioctl(fd_, TIOCSERGETLSR, &status) != 0) return true;
                if (status & TIOCSER_TEMT) return true;
            }
            if (Clock::now() >= bound) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // The Windows read time-outs: the total (per byte x count asked + constant) from the start, the
    // interval between two bytes once the first has come; a zero field is not used.
    size_t Read(uint8_t* buffer, size_t maxCount) override {
        if (fd_ < 0) return 0;
        const Clock::time_point start = Clock::now();
        const uint64_t totalMs = static_cast<uint64_t>(readTimeouts_.perByteMs) * maxCount + readTimeouts_.constantMs;
        const Clock::time_point totalDeadline = start + std::chrono::milliseconds(totalMs);
        Clock::time_point lastByte = start;
        size_t got = 0;
        while (got < maxCount) {
            long long waitMs = totalMs ? MsUntil(totalDeadline) : 1000;
            if (got > 0 && readTimeouts_.intervalMs) {
                const long long gap = MsUntil(lastByte + std::chrono::milliseconds(readTimeouts_.intervalMs));
                if (gap < waitMs) waitMs = gap;
            }
            if (waitMs <= 0) break;
            if (waitMs > 1000) waitMs = 1000;  // a long total wait is taken in steps that poll can count
            pollfd ready = {fd_, POLLIN, 0};
            const int polled = poll(&ready, 1, static_cast<int>(waitMs));
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0) continue;  // the deadlines are checked at the top
            const ssize_t n = read(fd_, buffer + got, maxCount - got);
            if (n > 0) {
                got += static_cast<size_t>(n);
                lastByte = Clock::now();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                break;  // the line went away (a closed pseudo-terminal, an unplugged adapter)
            }
        }
        return got;
    }

    void Close() override {
        if (fd_ < 0) return;
        LeaveRs485Mode();
        Ioctl(fd_, TIOCNXCL, nullptr);
        close(fd_);  // releases the lock too
        fd_ = -1;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    // The port is non-blocking: a read takes what waits and returns.
    size_t ReadWaiting(uint8_t* buffer, size_t maxCount) override {
        if (fd_ < 0 || maxCount == 0) return 0;
        const ssize_t n = read(fd_, buffer, maxCount);
        return n > 0 ? static_cast<size_t>(n) : 0u;
    }

    // The kernel's counters run from the port's first opening since boot: what they moved since the
    // last look is this line's. A pseudo-terminal or a driver without them refuses the request.
    bool TakeLineErrors(DriverErrorCounts* counts) override {
#ifdef TIOCGICOUNT
        if (fd_ < 0 || !counterable_) return false;
        serial_icounter_struct now{};
        if (Ioctl(fd_, TIOCGICOUNT, &now) != 0) {
            counterable_ = false;
            return false;
        }
        if (countsKnown_) {
            counts->frame += static_cast<uint32_t>(now.frame - lastCounts_.frame);
            counts->parity += static_cast<uint32_t>(now.parity - lastCounts_.parity);
            counts->overrun += static_cast<uint32_t>(now.overrun - lastCounts_.overrun);
            counts->breaks += static_cast<uint32_t>(now.brk - lastCounts_.brk);
        }
        lastCounts_ = now;
        countsKnown_ = true;
        return true;
#else
        (void)counts;
        return false;
#endif
    }

    // A USB serial adapter holds what it received until its latency timer runs out (16 ms on an FTDI
    // chip as it comes): Linux shows the timer in sysfs for the adapter behind the port's name.
    int32_t LatencyTimerMs(char* how, size_t room) override {
        char* resolved = realpath(portName_.c_str(), nullptr);
        if (!resolved) return -1;
        const char* slash = std::strrchr(resolved, '/');
        const std::string node = slash ? slash + 1 : resolved;
        std::free(resolved);
        const std::string path = "/sys/bus/usb-serial/devices/" + node + "/latency_timer";
        FILE* file = std::fopen(path.c_str(), "r");
        if (!file) return -1;
        int value = -1;
        if (std::fscanf(file, "%d", &value) != 1) value = -1;
        std::fclose(file);
        if (how && room) std::snprintf(how, room, "echo 1 | sudo tee %s", path.c_str());
        return value;
    }

private:
    // Where the driver offers it, the kernel raises RTS for exactly the time the UART sends, as
    // the Windows toggle mode does; otherwise RTS is driven by hand through the modem-control bits.
    // The polarity a board's device tree set is its wiring's: only RS-485 itself is switched on.
    void EnterRs485Mode() {
        kernelDrivesRts_ = false;
        rs485Changed_ = false;
        releaseWarned_ = false;
        releaseDelayMs_ = 0;
#ifdef TIOCSRS485
        if (Ioctl(fd_, TIOCGRS485, &savedRs485_) != 0) return;
        serial_rs485 wanted = savedRs485_;
        wanted.flags = Rs485FlagsToSet(savedRs485_.flags);
        rs485Changed_ = Ioctl(fd_, TIOCSRS485, &wanted) == 0;
        kernelDrivesRts_ = rs485Changed_ && KernelKeepsRs485();
#endif
    }

    // A driver may accept the request yet drop the mode (or change the delays); only a read-back tells.
    // The polarity it reads back is the driver's to choose.
    bool KernelKeepsRs485() {
#ifdef TIOCSRS485
        serial_rs485 applied{};
        if (Ioctl(fd_, TIOCGRS485, &applied) != 0 || !(applied.flags & SER_RS485_ENABLED)) return false;
        releaseDelayMs_ = applied.delay_rts_after_send;
        return true;
#else
        return false;
#endif
    }

    void LeaveRs485Mode() {
#ifdef TIOCSRS485
        if (rs485Changed_) Ioctl(fd_, TIOCSRS485, &savedRs485_);
#endif
        kernelDrivesRts_ = false;
        rs485Changed_ = false;
    }

    int Ioctl(int fd, unsigned long request, void* argument) const { return calls_->ioctl(fd, request, argument); }

    const PosixPortCalls* calls_ = &kSystemCalls;
    int fd_ = -1;
    ReadTimeouts readTimeouts_ = {0, 0, 0};
    WriteTimeouts writeTimeouts_ = {0, 0};
    bool kernelDrivesRts_ = false;
    bool rs485Changed_ = false;    // the port's own RS-485 settings are put back on Close
    uint32_t releaseDelayMs_ = 0;  // how long the board keeps RTS after the last byte
    bool releaseWarned_ = false;   // said once for each opening
    std::string portName_;
    bool counterable_ = true;  // false once the driver refused its counters
    bool countsKnown_ = false;
#ifdef TIOCGICOUNT
    serial_icounter_struct lastCounts_{};
#endif
#ifdef TIOCSRS485
    serial_rs485 savedRs485_{};
#endif
};

PosixSerialDevice& ProgramDevice() {
    static PosixSerialDevice device;
    return device;
}
}  // namespace

void UsePosixPortCalls(const PosixPortCalls* replacement) { ProgramDevice().UseCalls(replacement); }

SerialDevice& SystemSerialDevice() { return ProgramDevice(); }

std::unique_ptr<SerialDevice> NewSerialDevice() { return std::unique_ptr<SerialDevice>(new PosixSerialDevice); }
