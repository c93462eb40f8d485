// The few port operations the link needs; the Win32 port and the scripted test double implement it.
#pragma once
#include <cstddef>
#include <cstdint>

struct ReadTimeouts {
    uint32_t intervalMs;
    uint32_t perByteMs;
    uint32_t constantMs;
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual bool Open(const char* portName) = 0;
    // Mode string (for example "COM1:9600,n,8,1"), then 8N1 at lineBaud with the fixed flags.
    virtual bool Configure(const char* modeString, int32_t lineBaud) = 0;
    virtual void SelectEvents(bool txEmptyAndRxChar) = 0;
    virtual void SetQueues(uint32_t inputBytes, uint32_t outputBytes) = 0;
    virtual void SetRts(bool high) = 0;
    virtual void Purge(bool receiveSide, bool transmitSide) = 0;
    virtual void SetReadTimeouts(const ReadTimeouts& timeouts) = 0;
    virtual void Write(const uint8_t* bytes, size_t count) = 0;
    // Waits for the transmit buffer to empty, never longer than boundMs; false when the bound ran out.
    virtual bool WaitTransmitEmpty(uint32_t boundMs) = 0;
    // Reads up to maxCount bytes under the read time-outs; returns how many arrived.
    virtual size_t Read(uint8_t* buffer, size_t maxCount) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

SerialDevice& SystemSerialDevice();
void UseSerialDevice(SerialDevice* device);  // nullptr restores the system device
SerialDevice& PortDevice();
