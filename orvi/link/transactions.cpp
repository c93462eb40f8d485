// The device transactions: each a fixed request with up to three tries.
#include "transactions.h"

#include "rtu_frame.h"
#include "serial_port.h"

namespace {
enum { kTries = 3 };

bool busy = false;
WriteObserver writeObserver = nullptr;

LinkError Observed(uint8_t function, int8_t reg, int16_t value, LinkError result) {
    if (writeObserver) writeObserver(function, reg, value, result);
    return result;
}

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

LinkError WritePrivate(int8_t address, int16_t value) {
    BusyScope scope;
    if (scope.Refused()) return Observed(0x71, address, value, kLinkTimeout);
    return Observed(0x71, address, value, TryUpTo3(Widen(address), 1, 0x71, value, nullptr));
}

namespace {
LinkError WriteAndReadBack(int8_t reg, int16_t value) {
    BusyScope scope;
    if (scope.Refused()) return kLinkTimeout;
    LinkError result = kLinkTimeout;
    uint16_t readBack = 0xFFFF;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        result = WriteTry(reg, value);
        if (result != kLinkOk) continue;
        result = TryUpTo3(Widen(reg), 1, 3, 0, &readBack);
        if (result != kLinkOk) continue;
        if (static_cast<int16_t>(readBack) == value) return kLinkOk;
        // The device kept another value: never report that as a completed write.
        result = kLinkValueMismatch;
    }
    return result;
}

LinkError WriteByEcho(int8_t reg, int16_t value) {
    BusyScope scope;
    if (scope.Refused()) return kLinkTimeout;
    LinkError result = kLinkTimeout;
    for (int attempt = 0; attempt < kTries && result != kLinkOk; ++attempt) result = WriteTry(reg, value);
    return result;
}
}  // namespace

LinkError WriteRegister(int8_t reg, int16_t value) { return Observed(6, reg, value, WriteAndReadBack(reg, value)); }

LinkError WriteRegisterByEcho(int8_t reg, int16_t value) { return Observed(6, reg, value, WriteByEcho(reg, value)); }
