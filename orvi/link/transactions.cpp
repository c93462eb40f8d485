// The device transactions: each a fixed request with up to three tries.
#include "transactions.h"

#include "line.h"
#include "rtu_frame.h"
#include "serial_port.h"

namespace {
enum { kTries = 3 };

WriteOutcome Observed(Line& line, uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome) {
    if (line.writeObserver) line.writeObserver(function, reg, value, outcome);
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
    bool Echo(const Line& line, LinkError result) {
        last = result;
        if (result == kLinkException) exceptionCode = ReplyByte(line, 2);
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

// Marks a transaction as running on its line; a second one started from a message dispatched
// meanwhile is refused.
class BusyScope {
public:
    explicit BusyScope(Line& line) : line_(line), owner_(!line.busy) { line.busy = true; }
    ~BusyScope() {
        if (owner_) line_.busy = false;
    }
    bool Taken() const { return owner_; }

private:
    Line& line_;
    bool owner_;
};

LinkError TryUpTo3(Line& line, uint16_t reg, uint16_t count, uint8_t function, int16_t value, uint16_t* destination) {
    LinkError result = kLinkTimeout;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        SendRequest(line, reg, count, function, value, destination);
        result = ReceiveReply(line, function, count);
        if (result == kLinkOk) break;
    }
    return result;
}

// Replies are checked into scratch words and copied only on success, so a failed read leaves
// the caller's words as they were, even when a later try fails after an earlier partial one.
LinkError Read(Line& line, uint16_t reg, uint16_t count, uint8_t function, uint16_t* destination) {
    BusyScope scope(line);
    if (!scope.Taken()) return kLinkTimeout;
    uint16_t words[kConfigBlockWords] = {};
    const LinkError result = TryUpTo3(line, reg, count, function, 0, words);
    if (result == kLinkOk)
        for (uint16_t i = 0; i < count; ++i) destination[i] = words[i];
    return result;
}

// The transmitter's address (44) and rate code (45).
bool ChangesHowTheTransmitterListens(int8_t reg) { return reg == 44 || reg == 45; }

// Register and private addresses are signed bytes widened with their sign.
uint16_t Widen(int8_t address) { return static_cast<uint16_t>(static_cast<int16_t>(address)); }

// One function-6 request and its echo check.
LinkError WriteTry(Line& line, int8_t reg, int16_t value) {
    SendRequest(line, Widen(reg), 1, 6, value, nullptr);
    const LinkError result = ReceiveReply(line, 6, 0);
    // A new address or rate takes hold after the reply: leave the transmitter the time it
    // had when every read ended on the interval time-out.
    if (ChangesHowTheTransmitterListens(reg)) HoldLineQuiet(line, line.portReadTimeouts.intervalMs);
    return result;
}

LinkError SearchRead(Line& line, int8_t reg, uint16_t* destination) {
    if (line.busy) return kLinkTimeout;
    line.acceptAnyAddress = true;
    const LinkError result = Read(line, Widen(reg), 1, 3, destination);
    line.acceptAnyAddress = false;
    return result;
}
}  // namespace

bool TransactionBusy(const Line& line) { return line.busy; }

LinkError ReadHolding(Line& line, int8_t reg, uint16_t* destination) {
    return Read(line, Widen(reg), 1, 3, destination);
}

LinkError ReadPrivate(Line& line, int8_t address, uint16_t* destination) {
    return Read(line, Widen(address), 1, 0x70, destination);
}

LinkError ReadStatusBits(Line& line, uint16_t* destination) { return Read(line, 4, 1, 0x70, destination); }

LinkError ReadConfigBlock(Line& line, uint16_t* destination) {
    return Read(line, 0, kConfigBlockWords, 3, destination);
}

LinkError ReadLiveBlock(Line& line, uint16_t* destination) { return Read(line, 0, kLiveBlockWords, 3, destination); }

LinkError SearchReadIdentity(Line& line, uint16_t* destination) { return SearchRead(line, 8, destination); }

LinkError SearchReadAddress(Line& line, uint16_t* destination) { return SearchRead(line, 44, destination); }

namespace {
// The write's request and echo, up to three tries; with readBack, each echo is followed by a read of
// the value (function 3, or 0x70 for a private value), and only a read-back equal to the value confirms.
WriteOutcome WriteTriedHere(Line& line, uint8_t function, int8_t reg, int16_t value, bool readBack) {
    BusyScope scope(line);
    if (!scope.Taken()) return WriteOutcome{};
    WriteTries tries;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (function == 6) {
            if (!tries.Echo(line, WriteTry(line, reg, value))) continue;
        } else {
            SendRequest(line, Widen(reg), 1, function, value, nullptr);
            if (!tries.Echo(line, ReceiveReply(line, function, 0))) continue;
        }
        if (!readBack) return tries.Outcome(false);
        uint16_t word = 0xFFFF;
        const LinkError read = TryUpTo3(line, Widen(reg), 1, function == 6 ? 3 : 0x70, 0, &word);
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

WriteOutcome WriteTried(Line& line, uint8_t function, int8_t reg, int16_t value, bool readBack) {
    WriteOutcome outcome = WriteTriedHere(line, function, reg, value, readBack);
    outcome.address = line.settings.deviceAddress;
    outcome.baudRate = line.settings.baudRate;
    return outcome;
}

WriteOutcome* AwaitingLook(Line& line, int8_t reg) {
    return reg == 44 ? &line.awaitingLook[0] : reg == 45 ? &line.awaitingLook[1] : nullptr;
}
}  // namespace

LinkError WritePrivate(Line& line, int8_t address, int16_t value) {
    // The echo's result, as its callers have always had it.
    return Observed(line, 0x71, address, value, WriteTried(line, 0x71, address, value, false)).error;
}

WriteOutcome WritePrivateAndReadBack(Line& line, int8_t address, int16_t value) {
    return Observed(line, 0x71, address, value, WriteTried(line, 0x71, address, value, true));
}

WriteOutcome WriteRegisterOutcome(Line& line, int8_t reg, int16_t value) {
    return Observed(line, 6, reg, value, WriteTried(line, 6, reg, value, true));
}

LinkError WriteRegister(Line& line, int8_t reg, int16_t value) { return WriteRegisterOutcome(line, reg, value).error; }

LinkError WriteRegisterByEcho(Line& line, int8_t reg, int16_t value) {
    const WriteOutcome outcome = WriteTried(line, 6, reg, value, false);
    WriteOutcome* awaiting = AwaitingLook(line, reg);
    // Sent: the caller looks for the transmitter at its new setting and reports what it found.
    if (awaiting && outcome.kind != WriteOutcomeKind::kNotSent) {
        *awaiting = outcome;
        return outcome.error;
    }
    return Observed(line, 6, reg, value, outcome).error;
}

void ReportEchoedWrite(Line& line, int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) {
    WriteOutcome* awaiting = AwaitingLook(line, reg);
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
    Observed(line, 6, reg, value, outcome);
}

// The configurator's line.

bool TransactionBusy() { return TransactionBusy(ConfiguratorLine()); }

void SetWriteObserver(WriteObserver observer) { ConfiguratorLine().writeObserver = observer; }

LinkError ReadHolding(int8_t reg, uint16_t* destination) { return ReadHolding(ConfiguratorLine(), reg, destination); }

LinkError ReadPrivate(int8_t address, uint16_t* destination) {
    return ReadPrivate(ConfiguratorLine(), address, destination);
}

LinkError ReadStatusBits(uint16_t* destination) { return ReadStatusBits(ConfiguratorLine(), destination); }

LinkError ReadConfigBlock(uint16_t* destination) { return ReadConfigBlock(ConfiguratorLine(), destination); }

LinkError ReadLiveBlock(uint16_t* destination) { return ReadLiveBlock(ConfiguratorLine(), destination); }

LinkError SearchReadIdentity(uint16_t* destination) { return SearchReadIdentity(ConfiguratorLine(), destination); }

LinkError SearchReadAddress(uint16_t* destination) { return SearchReadAddress(ConfiguratorLine(), destination); }

LinkError WritePrivate(int8_t address, int16_t value) { return WritePrivate(ConfiguratorLine(), address, value); }

WriteOutcome WritePrivateAndReadBack(int8_t address, int16_t value) {
    return WritePrivateAndReadBack(ConfiguratorLine(), address, value);
}

WriteOutcome WriteRegisterOutcome(int8_t reg, int16_t value) {
    return WriteRegisterOutcome(ConfiguratorLine(), reg, value);
}

LinkError WriteRegister(int8_t reg, int16_t value) { return WriteRegister(ConfiguratorLine(), reg, value); }

LinkError WriteRegisterByEcho(int8_t reg, int16_t value) { return WriteRegisterByEcho(ConfiguratorLine(), reg, value); }

void ReportEchoedWrite(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) {
    ReportEchoedWrite(ConfiguratorLine(), reg, value, confirmed, hasReadBack, readBack);
}
