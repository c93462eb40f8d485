// The network allowance of a serial device server or a gateway, from what was measured.
#include "network_allowance.h"

#include <algorithm>

namespace {
enum : uint32_t { kDelayedAckMs = 200, kSegmentMarginMs = 20 };

uint32_t Clamped(uint64_t ms) {
    return static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(ms, NetworkAllowance::kFloorMs),
                                                    NetworkAllowance::kMostMs));
}
}  // namespace

uint32_t NetworkAllowance::Ms() const {
    if (fixedMs_) return fixedMs_;
    const uint32_t byDefault = gateway_ ? kGatewayDefaultMs : kServerDefaultMs;
    // The replies measure what the network adds better than the opening, which includes the name's resolution.
    const bool measured = replied_ || connected_;
    if (!measured) return byDefault;
    // Twice the longest delay seen: the network varies, and a reply given up too early costs a whole try.
    const uint64_t delayMs = ((replied_ ? longestReplyDelayUs_ : connectUs_) + 999u) / 1000u;
    const uint32_t followed = Clamped(kFloorMs + 2u * delayMs);
    return gateway_ ? std::max(byDefault, followed) : followed;
}

void NetworkAllowance::NoteConnect(uint64_t us) {
    connectUs_ = us;
    connected_ = true;
}

void NetworkAllowance::NoteReplyDelay(uint64_t us) {
    longestReplyDelayUs_ = replied_ ? std::max(longestReplyDelayUs_, us) : us;
    replied_ = true;
}

uint32_t SegmentSlackMs(uint32_t lineIntervalMs, uint32_t allowanceMs) {
    return lineIntervalMs + std::max<uint32_t>(allowanceMs / 4u, kDelayedAckMs) + kSegmentMarginMs;
}
