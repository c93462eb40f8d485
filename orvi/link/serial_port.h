// Opening, closing and RTS of the one serial port, by CommSettings.
#pragma once
#include <cstddef>
#include "serial_device.h"

class Line;

// 1 when open and configured, 0 otherwise (the settings' portName may become "None").
int OpenPort(Line& line);
void ClosePort(Line& line);
// Puts the open port of line at the line's rate (line settings, time-outs), as OpenPort does after
// opening; what the line showed at its old rate is forgotten. False when the port refuses.
bool ApplyLineRate(Line& line);
void RaiseRts(Line& line);
void DropRts(Line& line);

// The same on the configurator's line.
int OpenPort();
void ClosePort();
void RaiseRts();

// The line speed and read time-outs that a baud rate gets (unsupported rates run as 19200).
int32_t LineBaud(int32_t baudRate);
ReadTimeouts ReadTimeoutsFor(int32_t baudRate);
WriteTimeouts WriteTimeoutsFor(int32_t baudRate);
// The read time-outs set by the last successful OpenPort of the configurator's line.
const ReadTimeouts& PortReadTimeouts();
// Microseconds that bytes take on the line at the rate baudRate runs at (10 bits a byte), rounded up.
uint32_t LineTimeUs(size_t bytes, int32_t baudRate);
// The turnaround wait after a request (0 for an unsupported rate).
uint32_t TurnaroundMs(int32_t baudRate);
