// A serial device that opens one port by its full name and nothing else.
#pragma once
#include <string>

#include "serial_device.h"

// The link's OpenPort takes its name from CommSettings, which holds only COMn names and, when the
// port fails, tries COM1..COM4 in turn. A command-line tool must talk to the port it was given or
// to none (another port may hold another transmitter), and a Linux device path is no COMn name.
// So OpenPort is given a token: the given name where it is COMn, else a stand-in COMn; the token
// opens the full name, any other name is refused. The full name is tried once per AllowOneOpen, so
// the link's COM1..COM4 scan after a failure can never open it (nor raise its notice, a message box
// on Windows that would stop an unattended script).
class NamedPortDevice : public SerialDevice {
public:
    NamedPortDevice(SerialDevice& inner, const std::string& fullName);
    const char* Token() const { return token_; }
    const std::string& FullName() const { return fullName_; }
    // Called before each OpenPort: the next Open of the token may try the port.
    void AllowOneOpen() { openAllowed_ = true; }

    bool Open(const char* portName) override;
    bool Configure(const char* modeString, int32_t lineBaud) override;
    bool TogglesRts() const override;
    void SelectEvents(bool txEmptyAndRxChar) override;
    void SetQueues(uint32_t inputBytes, uint32_t outputBytes) override;
    void SetRts(bool high) override;
    void ReassertDtr() override;
    void Purge(bool receiveSide, bool transmitSide) override;
    bool SetReadTimeouts(const ReadTimeouts& timeouts) override;
    bool SetWriteTimeouts(const WriteTimeouts& timeouts) override;
    bool Write(const uint8_t* bytes, size_t count) override;
    bool WaitTransmitEmpty(uint32_t boundMs) override;
    size_t Read(uint8_t* buffer, size_t maxCount) override;
    void Close() override;
    bool IsOpen() const override;
    size_t ReadWaiting(uint8_t* buffer, size_t maxCount) override;
    bool TakeLineErrors(DriverErrorCounts* counts) override;
    int32_t LatencyTimerMs(char* how, size_t room) override;

private:
    SerialDevice& inner_;
    std::string fullName_;
    char token_[16];
    bool openAllowed_ = false;
};
