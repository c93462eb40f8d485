// The line-time model, from the port's own turnaround waits and read time-outs.
#include "line_time_model.h"

#include "communication_rates.h"
#include "serial_port.h"
#include "transactions.h"

namespace {
constexpr int kRequestBytes = 8;
constexpr int kOneWordReplyBytes = 7;  // address, function, count, word, CRC
constexpr int kWriteReplyBytes = 8;    // the request echoed
constexpr int kSpareBytes = 8;         // asked for beyond a clean reply
constexpr int kTries = 3;
constexpr int kApplyWrites = 9;

double LineMs(int32_t baud, int bytes) { return bytes * 10.0 * 1000.0 / baud; }
}  // namespace

double AnsweredMs(int32_t baud, int requestBytes, int replyBytes) {
    return LineMs(baud, requestBytes + replyBytes) + TurnaroundMs(baud) + ReadTimeoutsFor(baud).intervalMs;
}

double SilentTryMs(int32_t baud, int requestBytes, int replyBytes) {
    const ReadTimeouts timeouts = ReadTimeoutsFor(baud);
    return LineMs(baud, requestBytes) + TurnaroundMs(baud) +
           static_cast<double>(timeouts.perByteMs) * (replyBytes + kSpareBytes) + timeouts.constantMs;
}

double ConfigBlockReadMs(int32_t baud) { return AnsweredMs(baud, kRequestBytes, 2 * kConfigBlockWords + 5); }

double OneRegisterReadMs(int32_t baud) { return AnsweredMs(baud, kRequestBytes, kOneWordReplyBytes); }

double FullApplyMs(int32_t baud) {
    return kApplyWrites * (AnsweredMs(baud, kRequestBytes, kWriteReplyBytes) + OneRegisterReadMs(baud));
}

double SearchMs(int32_t baud) {
    double total = 0;
    for (int32_t rate : kNetworkRates) {
        if (rate == baud) return total + 2 * AnsweredMs(rate, kRequestBytes, kOneWordReplyBytes);
        total += kTries * SilentTryMs(rate, kRequestBytes, kOneWordReplyBytes);
    }
    return total;
}
