// The RS-485 flag rule and the line release check of the Linux port.
#include "rs485_mode.h"

uint32_t Rs485FlagsToSet(uint32_t boardFlags) {
    const uint32_t polarity = boardFlags & (kRs485RtsOnSend | kRs485RtsAfterSend);
    uint32_t flags = boardFlags | kRs485Enabled;
    // Neither or both: no polarity was chosen for the wiring, so RTS goes up while sending.
    if (polarity != kRs485RtsOnSend && polarity != kRs485RtsAfterSend)
        flags = (flags | kRs485RtsOnSend) & ~kRs485RtsAfterSend;
    return flags & ~kRs485RxDuringTx;
}

bool Rs485ReleaseTooLate(uint32_t delayRtsAfterSendMs, int32_t baud) {
    // 3.5 characters of 10 bits last 35000 / baud ms; compared in whole numbers.
    return baud > 0 && static_cast<uint64_t>(delayRtsAfterSendMs) * static_cast<uint64_t>(baud) > 35000u;
}
