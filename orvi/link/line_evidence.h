// What a line has shown of itself while it worked: gathered by the frame layer on every
// transaction at the cost of a few counters, read by the doctor's rules. No allocation: fixed
// tables only, so the evidence costs nothing a transaction would notice.
#pragma once
#include <cstring>
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
    uint32_t gatewayNoPath = 0;     // a gateway's exception 0x0A or 0x0B
    uint32_t zeroAhead = 0;         // a 0x00 (a break) heard ahead of the reply
    uint32_t parityPattern = 0;     // a reply whose bytes are right or 0x00 as a parity or stop bit would make them
    uint32_t headLost = 0;          // a reply that is the tail of the one expected: its first bytes lost
    uint8_t headLostBytes = 0;      // how many, on the last such reply
    uint32_t lateReplies = 0;       // its reply heard only before the next request
    uint8_t shortBy = 0;            // how many bytes the last short frame lacked
    uint32_t shortBySame = 0;       // short frames in a row that lacked as many
    uint32_t repeatedFailures = 0;  // a failed reply the same, byte for byte, as the failed one before
    uint32_t lastFailureHash = 0;
    uint32_t lineErrorReplies = 0;  // replies during which the driver counted line errors
    TimeSpread replyStart;          // from the end of the request to the first byte of the reply
    TimeSpread replyEnd;            // from the end of the request to the end of the reply
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
    uint32_t slowReplyMs = 0;  // when a reply came, waited for long, later than the allowance
    uint32_t allowanceMs = 0;  // what the link waits for that reply
};

struct LineEvidence {
    enum { kAddresses = 8, kUnaskedKept = 32 };
    bool collecting = true;    // off only to measure what collecting costs
    bool networkLine = false;  // through a gateway or a device server: no echo, no line times
    uint32_t transactions = 0;
    // Bytes that waited in the input before a request was sent: nobody of ours asked for them.
    uint32_t unaskedBytes = 0;
    uint32_t unaskedTimes = 0;           // requests that found bytes waiting
    uint32_t unaskedFrames = 0;          // valid frames among them that are not a late reply of ours
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
    // Forgets what the line showed (a new opening: another port, rate or adapter); keeps collecting.
    void Clear() {
        const bool keep = collecting;
        *this = LineEvidence();
        collecting = keep;
    }
    // Forgets what was heard and keeps what the opening learnt of the port (network side, latency
    // timer, counters given): an action that asks afresh is judged on what it hears itself, not on a
    // fault mended since.
    void ForgetHeard() {
        LineEvidence fresh;
        fresh.collecting = collecting;
        fresh.networkLine = networkLine;
        fresh.driverCounts = driverCounts;
        fresh.latencyTimerMs = latencyTimerMs;
        std::memcpy(fresh.latencyHow, latencyHow, sizeof latencyHow);
        *this = fresh;
    }
};

// What the frame layer tells the evidence; each is a few comparisons and counters.

// What came ahead of a reply: our own request (whole or cut) and 0x00 bytes (breaks).
struct ReplyLead {
    enum Echo { kNoEcho, kWholeEcho, kCutEcho } echo = kNoEcho;
    size_t skip = 0;   // bytes of echo
    size_t zeros = 0;  // 0x00 bytes after the echo and ahead of the reply (or alone)
};
// Of everything one read brought (arrived bytes, as read), against the request and the reply's length.
ReplyLead ReadLead(const uint8_t* bytes, size_t arrived, const uint8_t* request, size_t requestLength,
                   uint8_t replyLength);

struct ReplyHeard {
    const uint8_t* request;
    size_t requestLength;
    const uint8_t* bytes;  // a complete read: the reply's length at the front; a short one: as read
    size_t arrived;
    uint8_t replyLength;       // of a good reply
    uint16_t result;           // the LinkError the reply's checks gave
    uint32_t endUs;            // from the end of the request to the end of the read (0: not timed)
    uint32_t lineTimeUs;       // of the reply's bytes on the line
    bool lineErrors;           // the driver counted line errors during the read
    uint8_t gatewayException;  // 0x0A or 0x0B from a gateway, else 0
};
void NoteReply(LineEvidence& evidence, const ReplyLead& lead, const ReplyHeard& heard);
// Bytes that waited in the input before a request; lastRequest is the request sent before them.
void NoteUnasked(LineEvidence& evidence, const uint8_t* bytes, size_t count, const uint8_t* lastRequest,
                 size_t lastRequestLength);
// Whether reply (length bytes) may be the expected reply to request as a receiver at 8N1 reads a
// sender with a parity bit: every byte whose bit after the data is 0 arrives as 0x00 (a framing error).
bool OnParityPattern(const uint8_t* reply, size_t length, const uint8_t* request, size_t requestLength);
