// How the port asks a Linux board's built-in RS-485 mode to drive the line: which flags to set and
// whether the board lets go of the line too late for the transmitter's reply.
#pragma once
#include <cstdint>

// The kernel's serial_rs485 flag bits (its stable user interface), so the rule stays portable.
constexpr uint32_t kRs485Enabled = 1u << 0;
constexpr uint32_t kRs485RtsOnSend = 1u << 1;
constexpr uint32_t kRs485RtsAfterSend = 1u << 2;
constexpr uint32_t kRs485RxDuringTx = 1u << 4;

// The flags to write back: RS-485 on, the board's own RTS polarity kept when its device tree set
// exactly one, RTS-on-send otherwise; the receiver off while sending, so the request is not heard back.
uint32_t Rs485FlagsToSet(uint32_t boardFlags);

// True when the board keeps RTS for longer than the 3.5 character gap at baud after the last byte:
// the transmitter may begin its reply while the board still drives the line.
bool Rs485ReleaseTooLate(uint32_t delayRtsAfterSendMs, int32_t baud);
