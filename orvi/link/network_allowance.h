// What a reply on a network line may take beyond its line time, and how that follows the network.
#pragma once
#include <cstdint>

// A serial device server adds little to a reply (a round trip and its own forwarding), so its
// allowance follows what it was measured to add: first the time the connection took to open (at
// least kBeforeRepliesMs), then the longest delay among the latest kDelaysKept replies, each with
// kMarginMs more for the network's moods. A gateway answers for an absent transmitter only when its
// own wait on the line is over: its allowance never falls below the default that covers such a
// wait, and grows when a reply shows the gateway needs longer. An allowance the user gave is kept as
// given.
class NetworkAllowance {
public:
    enum : uint32_t {
        kServerDefaultMs = 500,    // before anything was measured
        kGatewayDefaultMs = 1500,  // a gateway waits for its own line first
        kBeforeRepliesMs = 100,    // once the connection is open, until a reply was measured
        kMarginMs = 10,            // over the longest delay measured: scheduling, the network's moods
        kMostMs = 10000,
        kDelaysKept = 8,
    };

    // fixedMs: the allowance the user gave (kept whatever is measured); 0 follows the network.
    NetworkAllowance(bool gateway, uint32_t fixedMs) : gateway_(gateway), fixedMs_(fixedMs) {}

    uint32_t Ms() const;
    // A caller that bounds a reply's whole wait itself (a sweep's --timeout) holds the allowance at
    // ms (0: the network adds nothing to the caller's own time-outs) until it lets go; what is
    // measured meanwhile still counts afterwards.
    void Hold(uint32_t ms) {
        heldMs_ = ms;
        held_ = true;
    }
    void LetGo() { held_ = false; }
    // The connection took us to open (the name resolved, the handshake made): one round trip at least.
    void NoteConnect(uint64_t us);
    // A reply (one that came too late included) arrived us later than the line alone explains.
    void NoteReplyDelay(uint64_t us);

private:
    bool gateway_;
    uint32_t fixedMs_;
    uint64_t connectUs_ = 0;
    uint64_t delaysUs_[kDelaysKept] = {};  // the latest replies' delays, round
    unsigned delays_ = 0;                  // how many were measured
    bool connected_ = false;
    uint32_t heldMs_ = 0;
    bool held_ = false;
};

// How long a pause inside one reply may last: the line's own interval, and room for a reply that
// reaches the network in two segments. A server that sends small segments waits for the
// acknowledgement of the first before the second (Nagle), and Windows delays an acknowledgement up
// to 200 ms; a larger allowance says the network's pauses are longer too.
uint32_t SegmentSlackMs(uint32_t lineIntervalMs, uint32_t allowanceMs);
