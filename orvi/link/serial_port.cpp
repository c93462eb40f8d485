// Opening and closing the serial port, its line settings and read time-outs, and RTS.
#include "serial_port.h"

#include <cstdio>
#include <cstring>

#include "line.h"
#include "link_platform.h"
#include "port_names.h"

namespace {

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

void SetPortName(CommSettings& settings, const char* name) {
    std::memset(settings.portName, 0, sizeof settings.portName);
    std::memcpy(settings.portName, name, strnlen(name, sizeof settings.portName - 1));
}

int FailOpen(CommSettings& settings) {
    SetPortName(settings, "None");
    return 0;
}

// The configured port, or the first of COM1..COM4 that opens (with a notice). Only COMn names are
// handed to the device: "\\.\" before anything else could open a pipe or another device.
bool OpenSomePort(Line& line) {
    SerialDevice& device = line.Device();
    CommSettings& settings = line.settings;
    if (PortNumber(settings.portName) != 0 && device.Open(settings.portName)) return true;
    for (int number = 1; number <= 4; ++number) {
        char name[8];
        std::snprintf(name, sizeof name, "COM%d", number);
        if (!device.Open(name)) continue;
        char notice[32];
        std::snprintf(notice, sizeof notice, "Porta configurada: COM%d", number);
        if (line.portNotice)
            line.portNotice(notice, "Porta Serial");
        else
            ShowPortNotice(notice, "Porta Serial");
        SetPortName(settings, name);
        return true;
    }
    return false;
}
}  // namespace

void UseSerialDevice(SerialDevice* device) { ConfiguratorLine().UseDevice(device); }

SerialDevice& PortDevice() { return ConfiguratorLine().Device(); }

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

int OpenPort(Line& line) {
    ++line.openings;
    CommSettings& settings = line.settings;
    SerialDevice& device = line.Device();
    if (device.IsOpen()) device.Close();
    if (!OpenSomePort(line)) return FailOpen(settings);
    if (!ApplyLineRate(line)) {
        device.Close();
        return FailOpen(settings);
    }
    return 1;
}

bool ApplyLineRate(Line& line) {
    SerialDevice& device = line.Device();
    const CommSettings& settings = line.settings;
    line.evidence.Clear();
    // No device name in the mode string: a named device must exist, and a tool that opened the port by
    // another name (a Linux path, a long Windows name) has no COMn to give.
    if (!device.Configure("9600,n,8,1", LineBaud(settings.baudRate))) return false;
    device.SelectEvents(true);
    device.SetQueues(65535, 128);
    DropRts(line);
    device.Purge(true, true);
    // Without its time-outs a read or write could block for ever: such a port is not used.
    line.portReadTimeouts = ReadTimeoutsFor(settings.baudRate);
    return device.SetReadTimeouts(line.portReadTimeouts) &&
           device.SetWriteTimeouts(WriteTimeoutsFor(settings.baudRate));
}

const ReadTimeouts& PortReadTimeouts() { return ConfiguratorLine().portReadTimeouts; }

void ClosePort(Line& line) {
    SerialDevice& device = line.Device();
    if (!device.IsOpen()) return;
    DropRts(line);
    device.SelectEvents(false);
    device.Purge(true, true);
    device.Close();
}

namespace {
// A driver that drives RTS itself (see TogglesRts) is left alone. After each change DTR is set
// again, as some USB drivers send the RTS level to the adapter only along with DTR.
void DriveRts(Line& line, bool high) {
    SerialDevice& device = line.Device();
    if (!device.IsOpen() || device.TogglesRts()) return;
    device.SetRts(high);
    device.ReassertDtr();
}
}  // namespace

void RaiseRts(Line& line) { DriveRts(line, true); }

void DropRts(Line& line) { DriveRts(line, false); }

int OpenPort() { return OpenPort(ConfiguratorLine()); }

void ClosePort() { ClosePort(ConfiguratorLine()); }

void RaiseRts() { RaiseRts(ConfiguratorLine()); }
