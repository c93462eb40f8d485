// Opening and closing the serial port, its line settings and read time-outs, and RTS.
#include "serial_port.h"

#include <cstdio>
#include <cstring>

#include "comm_settings.h"
#include "link_platform.h"
#include "port_names.h"

namespace {
SerialDevice* activeDevice = nullptr;
ReadTimeouts portReadTimeouts = {0, 0, 0};

struct BaudRow {
    int32_t baud;
    ReadTimeouts timeouts;
    uint32_t turnaroundMs;
};

const BaudRow kBaudRows[] = {
    {1200, {285, 10, 168}, 8}, {2400, {165, 5, 144}, 3}, {4800, {105, 3, 132}, 2},
    {9600, {75, 2, 126}, 1},   {19200, {60, 2, 123}, 1},
};

const BaudRow* FindRow(int32_t baudRate) {
    for (const BaudRow& row : kBaudRows)
        if (row.baud == baudRate) return &row;
    return nullptr;
}

void SetPortName(const char* name) {
    std::memset(commSettings.portName, 0, sizeof commSettings.portName);
    std::memcpy(commSettings.portName, name, strnlen(name, sizeof commSettings.portName - 1));
}

int FailOpen() {
    SetPortName("None");
    return 0;
}

// The configured port, or the first of COM1..COM4 that opens (with a notice). Only COMn names are
// handed to the device: "\\.\" before anything else could open a pipe or another device.
bool OpenSomePort(SerialDevice& device) {
    if (PortNumber(commSettings.portName) != 0 && device.Open(commSettings.portName)) return true;
    for (int number = 1; number <= 4; ++number) {
        char name[8];
        std::snprintf(name, sizeof name, "COM%d", number);
        if (!device.Open(name)) continue;
        char notice[32];
        std::snprintf(notice, sizeof notice, "Porta configurada: COM%d", number);
        ShowPortNotice(notice, "Porta Serial");
        SetPortName(name);
        return true;
    }
    return false;
}
}  // namespace

void UseSerialDevice(SerialDevice* device) { activeDevice = device; }

SerialDevice& PortDevice() { return activeDevice ? *activeDevice : SystemSerialDevice(); }

int32_t LineBaud(int32_t baudRate) {
    return (baudRate == 1200 || baudRate == 2400 || baudRate == 4800 || baudRate == 9600) ? baudRate : 19200;
}

ReadTimeouts ReadTimeoutsFor(int32_t baudRate) {
    // An unsupported rate runs the line at 19200, so it takes the time-outs of 19200 too.
    const BaudRow* row = FindRow(LineBaud(baudRate));
    return row->timeouts;
}

WriteTimeouts WriteTimeoutsFor(int32_t baudRate) {
    // Twice the line time of each byte, and room for an adapter that holds a write a while.
    const uint32_t perByte =
        (20000u + static_cast<uint32_t>(LineBaud(baudRate)) - 1u) / static_cast<uint32_t>(LineBaud(baudRate));
    return {perByte, 100u};
}

uint32_t LineTimeUs(size_t bytes, int32_t baudRate) {
    const uint64_t bits = static_cast<uint64_t>(bytes) * 10u * 1000000u;
    const uint64_t baud = static_cast<uint64_t>(LineBaud(baudRate));
    return static_cast<uint32_t>((bits + baud - 1u) / baud);
}

uint32_t TurnaroundMs(int32_t baudRate) {
    const BaudRow* row = FindRow(baudRate);
    return row ? row->turnaroundMs : 0;
}

namespace {
uint32_t portOpenings = 0;
}

uint32_t PortOpenings() { return portOpenings; }

int OpenPort() {
    ++portOpenings;
    SerialDevice& device = PortDevice();
    if (device.IsOpen()) device.Close();
    if (!OpenSomePort(device)) return FailOpen();

    // No device name in the mode string: a named device must exist, and a tool that opened the port by
    // another name (a Linux path, a long Windows name) has no COMn to give.
    if (!device.Configure("9600,n,8,1", LineBaud(commSettings.baudRate))) {
        device.Close();
        return FailOpen();
    }
    device.SelectEvents(true);
    device.SetQueues(65535, 128);
    DropRts();
    device.Purge(true, true);
    // Without its time-outs a read or write could block for ever: such a port is not used.
    portReadTimeouts = ReadTimeoutsFor(commSettings.baudRate);
    if (!device.SetReadTimeouts(portReadTimeouts) ||
        !device.SetWriteTimeouts(WriteTimeoutsFor(commSettings.baudRate))) {
        device.Close();
        return FailOpen();
    }
    return 1;
}

const ReadTimeouts& PortReadTimeouts() { return portReadTimeouts; }

void ClosePort() {
    SerialDevice& device = PortDevice();
    if (!device.IsOpen()) return;
    DropRts();
    device.SelectEvents(false);
    device.Purge(true, true);
    device.Close();
}

namespace {
// A driver that drives RTS itself (see TogglesRts) is left alone. After each change DTR is set
// again, as some USB drivers send the RTS level to the adapter only along with DTR.
void DriveRts(bool high) {
    SerialDevice& device = PortDevice();
    if (!device.IsOpen() || device.TogglesRts()) return;
    device.SetRts(high);
    device.ReassertDtr();
}
}  // namespace

void RaiseRts() { DriveRts(true); }

void DropRts() { DriveRts(false); }
