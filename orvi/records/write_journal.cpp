// Journals every write a program makes, from the link's write observer: the line's context comes from
// the open line, the value before from what this transmitter was read or confirmed to hold.
#include "write_journal.h"

#include <atomic>
#include <memory>
#include <set>

#include "comm_settings.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "journal.h"
#include "line.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "register_map.h"
#include "text_convert.h"
#include "transactions.h"

namespace {
const char* programName = "";
std::function<std::string()> openPortName;
void (*complainOnce)(const std::string&) = nullptr;
std::string tag;
// What the transmitter written to on the configurator's line holds, as read or confirmed: see
// JournalSetTransmitter. Another line brings its own (JournalWritesOf).
ConfigSnapshot* configuratorHeld = nullptr;
HeldTrims* configuratorTrims = nullptr;
// Registers whose content a write left unknown (no reply, or no read-back): a later write of one has
// no value before until a write of it is confirmed (a guess would be a record nobody can trust). The
// configurator's line; another line keeps its own (JournalWritesOf).
std::set<int> configuratorUnknown;
// Lines on several threads may all find the journal unwritable: it is said once.
std::atomic<bool> complained{false};

// The index of an output trim's private value in kCalibrationSlots; -1 for any other.
int TrimSlot(uint8_t function, int8_t reg) {
    if (function == 6) return -1;
    for (int i = 0; i < kCalibrationValueCount; ++i)
        if (kCalibrationSlots[i].address == reg) return i;
    return -1;
}

// What the register held: the line's own settings, the configuration last read of this transmitter,
// or its trims as read.
bool ValueBefore(const ConfigSnapshot* held, const std::set<int>& unknownSince, const HeldTrims* trims,
                 uint8_t function, int8_t reg, const WriteOutcome& sent, int32_t* before) {
    const int slot = TrimSlot(function, reg);
    if (slot >= 0 && trims && trims->known[slot]) {
        *before = trims->values.*kCalibrationSlots[slot].field;
        return true;
    }
    if (function != 6) return false;
    if (reg == kRegDeviceAddress) {
        *before = sent.address;
        return true;
    }
    if (unknownSince.count(reg)) return false;
    if (reg == kRegBaudCode) {
        *before = sent.baudRate;
        return IsNetworkRate(sent.baudRate);
    }
    // Writers read the whole configuration before they write.
    const ParameterKey* key = ParameterKeyOfRegister(reg);
    if (!key || !held || held->serialNumber == 0) return false;
    *before = key->get(*held);
    return true;
}

std::string KeyName(uint8_t function, int8_t reg) {
    if (function != 6) return Format("privado %d", reg);
    if (reg == kRegDeviceAddress) return "endereco";
    if (reg == kRegBaudCode) return "taxa";
    const ParameterKey* key = ParameterKeyOfRegister(reg);
    return key ? key->name : Format("registro %d", reg);
}

JournalOutcome JournalOutcomeOf(WriteOutcomeKind kind) {
    switch (kind) {
    case WriteOutcomeKind::kConfirmed: return JournalOutcome::kConfirmed;
    case WriteOutcomeKind::kNotConfirmed: return JournalOutcome::kNotConfirmed;
    case WriteOutcomeKind::kRefused: return JournalOutcome::kRefused;
    case WriteOutcomeKind::kNotSent: return JournalOutcome::kNotSent;
    default: return JournalOutcome::kNoReply;
    }
}

// What the transmitter holds after the write, for the next write's value before.
void RememberWhatIsHeld(ConfigSnapshot* held, std::set<int>& unknownSince, HeldTrims* trims, uint8_t function,
                        int8_t reg, int16_t value, const WriteOutcome& outcome) {
    if (outcome.kind == WriteOutcomeKind::kRefused || outcome.kind == WriteOutcomeKind::kNotSent) return;
    const int slot = TrimSlot(function, reg);
    if (slot >= 0 && trims) {
        const bool seen = outcome.kind == WriteOutcomeKind::kConfirmed || outcome.hasReadBack;
        trims->known[slot] = seen;
        if (seen)
            trims->values.*kCalibrationSlots[slot].field =
                outcome.kind == WriteOutcomeKind::kConfirmed ? value : outcome.readBack;
    }
    const ParameterKey* key = function == 6 ? ParameterKeyOfRegister(reg) : nullptr;
    if (!key || !held) return;
    if (outcome.kind == WriteOutcomeKind::kConfirmed || outcome.hasReadBack) {
        key->put(*held, outcome.kind == WriteOutcomeKind::kConfirmed ? value : outcome.readBack);
        unknownSince.erase(reg);
    } else {
        unknownSince.insert(reg);
    }
}

// What the journal knows of the line a write went out on.
struct JournalLine {
    ConfigSnapshot* held;  // what its transmitter was read or confirmed to hold (nullptr: nothing)
    std::set<int>& unknownSince;
    const std::string& port;
    const CommSettings& settings;
    HeldTrims* trims;  // its output trims as read (nullptr: none known)
};

void JournalWrite(const JournalLine& line, uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome) {
    ConfigSnapshot* held = line.held;
    JournalEntry entry;
    entry.program = programName;
    entry.port = line.port;
    // Where the request went, even when the line has followed the transmitter since.
    entry.rate = outcome.baudRate ? outcome.baudRate : line.settings.baudRate;
    entry.address = outcome.baudRate ? outcome.address : line.settings.deviceAddress;
    entry.serial = held && held->serialNumber ? SerialNumberText(held->serialNumber) : "";
    entry.tag = tag;
    entry.key = KeyName(function, reg);
    entry.reg = reg;
    entry.hasBefore = ValueBefore(held, line.unknownSince, line.trims, function, reg, outcome, &entry.before);
    entry.written = value;
    entry.hasReadBack = outcome.hasReadBack;
    entry.readBack = outcome.readBack;
    entry.exception = outcome.kind == WriteOutcomeKind::kRefused ? outcome.exceptionCode : 0;
    // People read rates in bit/s; the register holds codes for them.
    if (function == 6 && reg == kRegBaudCode) {
        entry.written = RateOfCode(value);
        entry.readBack = RateOfCode(outcome.readBack);
    }
    const bool named = outcome.error != kLinkOk && outcome.error != kLinkValueMismatch;
    SetJournalOutcome(&entry, JournalOutcomeOf(outcome.kind), named ? FixedText(LinkErrorText(outcome.error)) : "");
    RememberWhatIsHeld(held, line.unknownSince, line.trims, function, reg, value, outcome);
    std::string problem;
    // The transmitter has been written either way: say once that the record is missing, and go on.
    if (!AppendJournalEntry(entry, &problem) && complainOnce && !complained.exchange(true)) {
        complainOnce("aviso: o diário de escritas não pôde ser gravado (" + problem + ")");
    }
}
}  // namespace

void StartWriteJournal(const char* program, std::function<std::string()> portName,
                       void (*complain)(const std::string&)) {
    programName = program;
    openPortName = std::move(portName);
    complainOnce = complain;
    SetWriteObserver([](uint8_t function, int8_t reg, int16_t value, const WriteOutcome& outcome) {
        const std::string port = openPortName ? openPortName() : "";
        JournalWrite({configuratorHeld, configuratorUnknown, port, commSettings, configuratorTrims}, function, reg,
                     value, outcome);
    });
}

void JournalWritesOf(Line& line, ConfigSnapshot* transmitter, HeldTrims* trims, std::function<std::string()> portName) {
    // The line's own registers left unknown; the observer's copies share them.
    const std::shared_ptr<std::set<int>> unknown = std::make_shared<std::set<int>>();
    Line* written = &line;
    line.writeObserver = [transmitter, trims, unknown, portName, written](uint8_t function, int8_t reg, int16_t value,
                                                                          const WriteOutcome& outcome) {
        const std::string port = portName ? portName() : openPortName ? openPortName() : "";
        JournalWrite({transmitter, *unknown, port, written->settings, trims}, function, reg, value, outcome);
    };
}

void JournalSetTag(const std::string& text) { tag = text; }

void JournalSetTransmitter(ConfigSnapshot* transmitter, HeldTrims* trims) {
    configuratorHeld = transmitter;
    configuratorTrims = trims;
}
