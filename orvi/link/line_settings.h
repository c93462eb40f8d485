// The port's line settings as plain fields (the device-control block's), and the rule that sets them.
#pragma once
#include <cstdint>

// Field values are those of the Win32 device-control block (DTR_CONTROL_*, RTS_CONTROL_*, NOPARITY ...).
enum : uint8_t { kDtrControlEnable = 1, kRtsControlDisable = 0, kRtsControlToggle = 3 };
enum : uint8_t { kNoParity = 0, kOneStopBit = 0 };
enum : char { kXonChar = 0x11, kXoffChar = 0x13 };

struct LineSettings {
    uint32_t baudRate;
    bool binary;
    bool parity;
    bool outxCtsFlow;
    bool outxDsrFlow;
    uint8_t dtrControl;
    bool dsrSensitivity;
    bool txContinueOnXoff;
    bool outX;
    bool inX;
    bool errorCharOn;
    bool nullStrip;
    uint8_t rtsControl;
    bool abortOnError;
    uint16_t xonLim;
    uint16_t xoffLim;
    uint8_t byteSize;
    uint8_t parityKind;
    uint8_t stopBits;
    char xonChar;
    char xoffChar;
    char errorChar;
    char eofChar;
    char evtChar;
};

// The port's current settings with the link's own put on top: 8N1 at lineBaud, binary, no flow
// control of any kind, DTR on, RTS toggled by the driver (or left to the link when toggle is false),
// and the members Windows checks kept valid (distinct XON/XOFF characters, limits within the queue).
LineSettings LinkLineSettings(const LineSettings& current, int32_t lineBaud, bool toggleRts);
