// The few port operations the link needs; the Win32 port and the scripted test double implement it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

struct DriverErrorCounts;

// COMMTIMEOUTS semantics: a read of k bytes returns when k bytes have arrived; or, once a byte has
// arrived, when two bytes are further apart than intervalMs; or perByteMs * k + constantMs after it
// began. A zero field is not used; all three zero would block, so the link never sets that.
struct ReadTimeouts {
    uint32_t intervalMs;
    uint32_t perByteMs;
    uint32_t constantMs;
};

// A write gives up after perByteMs * count + constantMs, so a stalled adapter cannot block it.
struct WriteTimeouts {
    uint32_t perByteMs;
    uint32_t constantMs;
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual bool Open(const char* portName) = 0;
    // Mode string (for example "9600,n,8,1"), then LineSettingsFor(lineBaud) on top of the
    // port's current settings; false when the port refuses them.
    virtual bool Configure(const char* modeString, int32_t lineBaud) = 0;
    // True when the driver itself raises RTS for exactly the time it sends and the link must leave
    // RTS alone: the Linux kernel's RS-485 mode. A Windows driver's toggle mode never counts: the
    // port reports what a driver stored, not what it does, so the link raises and drops RTS itself
    // as well (a driver that really toggles refuses those calls, which is harmless).
    virtual bool TogglesRts() const = 0;
    virtual void SelectEvents(bool txEmptyAndRxChar) = 0;
    virtual void SetQueues(uint32_t inputBytes, uint32_t outputBytes) = 0;
    // Either may be refused by the driver (a driver in toggle mode refuses RTS changes): ignored.
    virtual void SetRts(bool high) = 0;
    // Sets DTR again (it is held on). Some drivers send a new RTS level to the adapter only
    // together with a DTR change, so the link calls this after every RTS change.
    virtual void ReassertDtr() = 0;
    virtual void Purge(bool receiveSide, bool transmitSide) = 0;
    // Both false when the port refuses them; a port without time-outs could block for ever.
    virtual bool SetReadTimeouts(const ReadTimeouts& timeouts) = 0;
    virtual bool SetWriteTimeouts(const WriteTimeouts& timeouts) = 0;
    // True when the driver took every byte before the write time-out.
    virtual bool Write(const uint8_t* bytes, size_t count) = 0;
    // Waits until the driver reports its output queue empty, never longer than boundMs; false when
    // the bound ran out. Bytes may still be in the UART then: the frame layer adds the line time.
    virtual bool WaitTransmitEmpty(uint32_t boundMs) = 0;
    // Reads up to maxCount bytes under the read time-outs; returns how many arrived.
    virtual size_t Read(uint8_t* buffer, size_t maxCount) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // What the line has shown, for the doctor; a device that cannot tell keeps these defaults.
    // Takes up to maxCount bytes already waiting in the input, without waiting for more.
    virtual size_t ReadWaiting(uint8_t* buffer, size_t maxCount) {
        (void)buffer;
        (void)maxCount;
        return 0;
    }
    // Adds the line errors (framing, parity, overrun, break) the driver saw since the last call;
    // false when the system gives none.
    virtual bool TakeLineErrors(DriverErrorCounts* counts) {
        (void)counts;
        return false;
    }
    // The USB adapter's latency timer in ms, -1 when not known; how (room bytes) says the
    // command or setting that lowers it.
    virtual int32_t LatencyTimerMs(char* how, size_t room) {
        (void)how;
        (void)room;
        return -1;
    }
};

SerialDevice& SystemSerialDevice();
// A serial device of its own, for a line besides the program's one.
std::unique_ptr<SerialDevice> NewSerialDevice();
void UseSerialDevice(SerialDevice* device);  // nullptr restores the system device
SerialDevice& PortDevice();
