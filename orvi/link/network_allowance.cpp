// The network allowance of a serial device server or a gateway, from what was measured.
#include "network_allowance.h"

#include <algorithm>

namespace {
enum : uint32_t { kDelayedAckMs = 200, kSegmentMarginMs = 20 };

uint64_t CeilMs(uint64_t us) { return (us + 999u) / 1000u; }
}  // namespace

uint32_t NetworkAllowance::Ms() const {
    if (held_) return heldMs_;
    if (fixedMs_) return fixedMs_;
    const uint32_t byDefault = gateway_ ? kGatewayDefaultMs : kServerDefaultMs;
    const bool replied = delays_ > 0;
    if (!replied && !connected_) return byDefault;
    // The replies measure what the network adds better than the opening, which includes the name's resolution.
    const uint64_t* kept = delaysUs_;
    const uint64_t delayMs =
        CeilMs(replied ? *std::max_element(kept, kept + std::min<unsigned>(delays_, kDelaysKept)) : connectUs_);
    uint32_t followed = static_cast<uint32_t>(std::min<uint64_t>(delayMs + kMarginMs, kMostMs));
    if (!replied) followed = std::max<uint32_t>(followed, kBeforeRepliesMs);
    return gateway_ ? std::max(byDefault, followed) : followed;
}

void NetworkAllowance::NoteConnect(uint64_t us) {
    connectUs_ = us;
    connected_ = true;
}

void NetworkAllowance::NoteReplyDelay(uint64_t us) { delaysUs_[delays_++ % kDelaysKept] = us; }

uint32_t SegmentSlackMs(uint32_t lineIntervalMs, uint32_t allowanceMs) {
    return lineIntervalMs + std::max<uint32_t>(allowanceMs / 4u, kDelayedAckMs) + kSegmentMarginMs;
}
