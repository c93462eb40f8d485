// The device transactions: each a fixed request with up to three tries.
#include "transactions.h"

#include "comm_settings.h"
#include "rtu_frame.h"
#include "serial_port.h"

namespace {
enum { kTries = 3 };

bool busy = false;
WriteObserver writeObserver = nullptr;

WriteOutcome Observed(uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome) {
    if (writeObserver) writeObserver(function, reg, value, outcome);
    return outcome;
}

// What the tries of one write have told: whether any echo came, the last exception, the last read-back.
struct WriteTries {
    bool answered = false;
    uint8_t exceptionCode = 0;
    bool hasReadBack = false;
    int16_t readBack = 0;
    LinkError last = kLinkTimeout;

    // Takes one request's result; true when the transmitter echoed the value.
    bool Echo(LinkError result) {
        last = result;
        if (result == kLinkException) exceptionCode = ReplyByte(2);
        // An echo with another value still says the request arrived.
        if (result == kLinkOk || result == kLinkValueMismatch) answered = true;
        return result == kLinkOk;
    }
    void ReadBack(int16_t value) {
        hasReadBack = true;
        readBack = value;
    }
    // Confirmed only by the caller's last step; any echo makes the outcome "may have been written",
    // and only an exception with no echo before it is a refusal.
    WriteOutcome Outcome(bool confirmed) const {
        WriteOutcome outcome;
        outcome.error = last;
        outcome.hasReadBack = hasReadBack;
        outcome.readBack = readBack;
        outcome.exceptionCode = exceptionCode;
        outcome.kind = confirmed                ? WriteOutcomeKind::kConfirmed
                       : answered               ? WriteOutcomeKind::kNotConfirmed
                       : last == kLinkException ? WriteOutcomeKind::kRefused
                                                : WriteOutcomeKind::kNoReply;
        return outcome;
    }
};

// Marks a transaction as running; a second one started from a message dispatched meanwhile is refused.
class BusyScope {
public:
    BusyScope() : owner_(!busy) { busy = true; }
    ~BusyScope() {
        if (owner_) busy = false;
    }
    bool Refused() const { return !owner_; }

private:
    bool owner_;
};

LinkError TryUpTo3(uint16_t reg, uint16_t count, uint8_t function, int16_t value, uint16_t* destination) {
    LinkError result = kLinkTimeout;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        SendRequest(reg, count, function, value, destination);
        result = ReceiveReply(function, count);
        if (result == kLinkOk) break;
    }
    return result;
}

// Replies are checked into scratch words and copied only on success, so a failed read leaves
// the caller's words as they were, even when a later try fails after an earlier partial one.
LinkError Read(uint16_t reg, uint16_t count, uint8_t function, uint16_t* destination) {
    BusyScope scope;
    if (scope.Refused()) return kLinkTimeout;
    uint16_t words[kConfigBlockWords] = {};
    const LinkError result = TryUpTo3(reg, count, function, 0, words);
    if (result == kLinkOk)
        for (uint16_t i = 0; i < count; ++i) destination[i] = words[i];
    return result;
}

// The transmitter's address (44) and rate code (45).
bool ChangesHowTheTransmitterListens(int8_t reg) { return reg == 44 || reg == 45; }

// Register and private addresses are signed bytes widened with their sign.
uint16_t Widen(int8_t address) { return static_cast<uint16_t>(static_cast<int16_t>(address)); }

// One function-6 request and its echo check.
LinkError WriteTry(int8_t reg, int16_t value) {
    SendRequest(Widen(reg), 1, 6, value, nullptr);
    const LinkError result = ReceiveReply(6, 0);
    // A new address or rate takes hold after the reply: leave the transmitter the time it
    // had when every read ended on the interval time-out.
    if (ChangesHowTheTransmitterListens(reg)) HoldLineQuiet(PortReadTimeouts().intervalMs);
    return result;
}

LinkError SearchRead(int8_t reg, uint16_t* destination) {
    if (busy) return kLinkTimeout;
    acceptAnyAddress = true;
    const LinkError result = Read(Widen(reg), 1, 3, destination);
    acceptAnyAddress = false;
    return result;
}
}  // namespace

bool TransactionBusy() { return busy; }

void SetWriteObserver(WriteObserver observer) { writeObserver = observer; }

LinkError ReadHolding(int8_t reg, uint16_t* destination) { return Read(Widen(reg), 1, 3, destination); }

LinkError ReadPrivate(int8_t address, uint16_t* destination) { return Read(Widen(address), 1, 0x70, destination); }

LinkError ReadStatusBits(uint16_t* destination) { return Read(4, 1, 0x70, destination); }

LinkError ReadConfigBlock(uint16_t* destination) { return Read(0, kConfigBlockWords, 3, destination); }

LinkError ReadLiveBlock(uint16_t* destination) { return Read(0, kLiveBlockWords, 3, destination); }

LinkError SearchReadIdentity(uint16_t* destination) { return SearchRead(8, destination); }

LinkError SearchReadAddress(uint16_t* destination) { return SearchRead(44, destination); }

namespace {
// The write's request and echo, up to three tries; with readBack, each echo is followed by a read of
// the value (function 3, or 0x70 for a private value), and only a read-back equal to the value confirms.
WriteOutcome WriteTriedHere(uint8_t function, int8_t reg, int16_t value, bool readBack) {
    BusyScope scope;
    if (scope.Refused()) return WriteOutcome{};
    WriteTries tries;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (function == 6) {
            if (!tries.Echo(WriteTry(reg, value))) continue;
        } else {
            SendRequest(Widen(reg), 1, function, value, nullptr);
            if (!tries.Echo(ReceiveReply(function, 0))) continue;
        }
        if (!readBack) return tries.Outcome(false);
        uint16_t word = 0xFFFF;
        const LinkError read = TryUpTo3(Widen(reg), 1, function == 6 ? 3 : 0x70, 0, &word);
        if (read != kLinkOk) {
            tries.last = read;
            continue;
        }
        tries.ReadBack(static_cast<int16_t>(word));
        if (static_cast<int16_t>(word) == value) {
            tries.last = kLinkOk;
            return tries.Outcome(true);
        }
        // The device kept another value: never report that as a completed write.
        tries.last = kLinkValueMismatch;
    }
    return tries.Outcome(false);
}

WriteOutcome WriteTried(uint8_t function, int8_t reg, int16_t value, bool readBack) {
    WriteOutcome outcome = WriteTriedHere(function, reg, value, readBack);
    outcome.address = commSettings.deviceAddress;
    outcome.baudRate = commSettings.baudRate;
    return outcome;
}
}  // namespace

LinkError WritePrivate(int8_t address, int16_t value) {
    // The echo's result, as its callers have always had it.
    return Observed(0x71, address, value, WriteTried(0x71, address, value, false)).error;
}

WriteOutcome WritePrivateAndReadBack(int8_t address, int16_t value) {
    return Observed(0x71, address, value, WriteTried(0x71, address, value, true));
}

WriteOutcome WriteRegisterOutcome(int8_t reg, int16_t value) {
    return Observed(6, reg, value, WriteTried(6, reg, value, true));
}

LinkError WriteRegister(int8_t reg, int16_t value) { return WriteRegisterOutcome(reg, value).error; }

namespace {
// The echo-only writes of the address (44) and rate (45), until their caller reports what it found.
WriteOutcome awaitingLook[2];
WriteOutcome* AwaitingLook(int8_t reg) { return reg == 44 ? &awaitingLook[0] : reg == 45 ? &awaitingLook[1] : nullptr; }
}  // namespace

LinkError WriteRegisterByEcho(int8_t reg, int16_t value) {
    const WriteOutcome outcome = WriteTried(6, reg, value, false);
    WriteOutcome* awaiting = AwaitingLook(reg);
    // Sent: the caller looks for the transmitter at its new setting and reports what it found.
    if (awaiting && outcome.kind != WriteOutcomeKind::kNotSent) {
        *awaiting = outcome;
        return outcome.error;
    }
    return Observed(6, reg, value, outcome).error;
}

void ReportEchoedWrite(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) {
    WriteOutcome* awaiting = AwaitingLook(reg);
    WriteOutcome outcome = awaiting ? *awaiting : WriteOutcome{};
    if (awaiting) *awaiting = WriteOutcome{};
    // Found with the new setting: it took the write, whatever became of the echo. Otherwise the echo
    // decides between "may have been written" (an answer came) and a refusal.
    if (confirmed) {
        outcome.kind = WriteOutcomeKind::kConfirmed;
        outcome.error = kLinkOk;
    } else if (outcome.kind == WriteOutcomeKind::kNotSent) {
        outcome.kind = WriteOutcomeKind::kNoReply;
    }
    outcome.hasReadBack = hasReadBack;
    outcome.readBack = readBack;
    Observed(6, reg, value, outcome);
}
