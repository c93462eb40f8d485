// What a line has shown of itself while it worked: gathered by the frame layer on every
// transaction at the cost of a few counters, read by the doctor's rules. No allocation: fixed
// tables only, so the evidence costs nothing a transaction would notice.
#pragma once
#include <cstddef>
#include <cstdint>

// A spread of times in a fixed histogram of geometric buckets (a third of an octave each):
// percentiles to within a bucket's width, in constant room.
struct TimeSpread {
    enum { kBuckets = 48 };
    uint32_t counts[kBuckets] = {};
    uint32_t samples = 0;

    void Add(uint32_t us);
    // The upper edge of the bucket holding the given percentile; 0 without samples.
    uint32_t PercentileUs(unsigned percent) const;
};

// The driver's line error counters, as far as the system tells them.
struct DriverErrorCounts {
    uint32_t frame = 0;
    uint32_t parity = 0;
    uint32_t overrun = 0;
    uint32_t breaks = 0;

    uint32_t Total() const { return frame + parity + overrun + breaks; }
};

// What one transmitter address has shown.
struct AddressEvidence {
    uint8_t address = 0;  // 0: the slot is free
    uint32_t requests = 0;
    uint32_t goodReplies = 0;
    uint32_t silences = 0;        // no byte at all after the request
    uint32_t crcFailures = 0;     // a reply of the expected length whose CRC fails
    uint32_t shortFrames = 0;     // fewer bytes than a reply, then quiet
    uint32_t wrongAddresses = 0;  // a valid frame from another address
    uint32_t exceptions = 0;
    uint32_t gatewayNoPath = 0;  // a gateway's exception 0x0A or 0x0B
    uint32_t zeroAhead = 0;      // a 0x00 (a break) heard ahead of the reply
    uint32_t parityPattern = 0;  // a reply whose bytes are right or 0x00 as a parity or stop bit would make them
    uint32_t headLost = 0;       // a reply that is the tail of the one expected: its first bytes lost
    uint8_t headLostBytes = 0;   // how many, on the last such reply
    uint32_t lateReplies = 0;    // its reply heard only before the next request
    TimeSpread replyStart;       // from the end of the request to the first byte of the reply
    TimeSpread replyEnd;         // from the end of the request to the end of the reply
};

// What the doctor's own look adds: other rates, repeated identity reads, the adapter.
struct LookEvidence {
    bool looked = false;
    int32_t rateLooked = 0;     // the rate of the line's settings during the look
    int32_t rateAnswering = 0;  // another rate where the transmitter answered (0: none)
    bool anyByteAtOtherRates = false;
    bool serialsDiffer = false;  // the serial number read twice came back different
    uint32_t otherRateTries = 0;
    uint32_t otherRateCrcFailures = 0;  // at the rates above the current one
    uint32_t otherRateGood = 0;
    uint32_t slowAllowanceMs = 0;  // the longest reply start the look saw, with a long wait
};

struct LineEvidence {
    enum { kAddresses = 8, kUnaskedKept = 32 };
    bool networkLine = false;  // through a gateway or a device server: no echo, no line times
    uint32_t transactions = 0;
    // Bytes that waited in the input before a request was sent: nobody of ours asked for them.
    uint32_t unaskedBytes = 0;
    uint32_t unaskedTimes = 0;   // requests that found bytes waiting
    uint32_t unaskedFrames = 0;  // valid frames among them that are not a late reply of ours
    uint8_t unasked[kUnaskedKept] = {};  // the last bytes heard so, oldest first
    size_t unaskedLength = 0;
    // Our own request heard back.
    uint32_t echoWhole = 0;
    uint32_t echoCut = 0;
    uint8_t echoCutBytes = 0;  // how much of the request came back, on the last cut echo
    uint32_t echoNone = 0;     // a reply heard with no echo ahead
    uint32_t zeroAlone = 0;    // nothing but 0x00 (breaks) after a request
    // The driver's counters since the line was made; driverCounts false: the system gives none.
    bool driverCounts = false;
    DriverErrorCounts driver;
    // The USB adapter's latency timer (-1: not known) and the way to lower it.
    int32_t latencyTimerMs = -1;
    char latencyHow[160] = {};
    AddressEvidence addresses[kAddresses];
    LookEvidence look;

    // The slot of an address (a new one when there is room, the oldest reused otherwise).
    AddressEvidence& At(uint8_t address);
    const AddressEvidence* Find(uint8_t address) const;
    void Clear() { *this = LineEvidence(); }
};
