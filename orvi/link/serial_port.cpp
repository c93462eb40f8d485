// Opening and closing the serial port, its line settings and read time-outs, and RTS.
#include "serial_port.h"

#include <cstdio>
#include <cstring>

#include "comm_settings.h"
#include "link_platform.h"

namespace {
SerialDevice* activeDevice = nullptr;

struct BaudRow {
    int32_t baud;
    ReadTimeouts timeouts;
    uint32_t turnaroundMs;
};

const BaudRow kBaudRows[] = {
    {1200, {285, 10, 168}, 8},
    {2400, {165, 5, 144}, 3},
    {4800, {105, 3, 132}, 2},
    {9600, {75, 2, 126}, 1},
    {19200, {60, 2, 123}, 1},
};

const BaudRow* FindRow(int32_t baudRate) {
    for (const BaudRow& row : kBaudRows)
        if (row.baud == baudRate) return &row;
    return nullptr;
}

void SetPortName(const char* name) {
    std::memset(commSettings.portName, 0, sizeof commSettings.portName);
    std::strncpy(commSettings.portName, name, sizeof commSettings.portName - 1);
}

int FailOpen() {
    SetPortName("None");
    return 0;
}

// The configured port, or the first of COM1..COM4 that opens (with a notice).
bool OpenSomePort(SerialDevice& device) {
    if (device.Open(commSettings.portName)) return true;
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

uint32_t TurnaroundMs(int32_t baudRate) {
    const BaudRow* row = FindRow(baudRate);
    return row ? row->turnaroundMs : 0;
}

int OpenPort() {
    SerialDevice& device = PortDevice();
    if (device.IsOpen()) device.Close();
    if (!OpenSomePort(device)) return FailOpen();

    char mode[32];
    std::snprintf(mode, sizeof mode, "%s:9600,n,8,1", commSettings.portName);
    if (!device.Configure(mode, LineBaud(commSettings.baudRate))) {
        device.Close();
        return FailOpen();
    }
    device.SelectEvents(true);
    device.SetQueues(65535, 128);
    device.SetRts(false);
    device.Purge(true, true);
    device.SetReadTimeouts(ReadTimeoutsFor(commSettings.baudRate));
    return 1;
}

void ClosePort() {
    SerialDevice& device = PortDevice();
    if (!device.IsOpen()) return;
    device.SetRts(false);
    device.SelectEvents(false);
    device.Purge(true, true);
    device.Close();
}

void RaiseRts() {
    SerialDevice& device = PortDevice();
    if (device.IsOpen()) device.SetRts(true);
}

void DropRts() {
    SerialDevice& device = PortDevice();
    if (device.IsOpen()) device.SetRts(false);
}
