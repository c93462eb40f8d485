// The line-time model of the configurator's transactions, for setting measured times beside it.
#pragma once
#include <cstdint>

// A transaction that gets its reply: request and reply at 10 bits a byte, the turnaround wait, and the
// inter-byte time-out that ends the read (it asks for more bytes than a clean reply holds).
double AnsweredMs(int32_t baud, int requestBytes, int replyBytes);
// A try at a rate no transmitter uses: the request, the turnaround wait and the whole read time-out
// (per byte for the reply length plus the 8 spare bytes asked for, plus the constant).
double SilentTryMs(int32_t baud, int requestBytes, int replyBytes);

double ConfigBlockReadMs(int32_t baud);
double OneRegisterReadMs(int32_t baud);
// OK with no change and an alarm function set: nine writes, each answered and read back.
double FullApplyMs(int32_t baud);
// The search finds the transmitter at `baud` after three silent tries of the identity read at every
// rate it tries first, then reads the identity and the address.
double SearchMs(int32_t baud);
