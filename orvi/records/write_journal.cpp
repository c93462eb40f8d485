// Journals every write a program makes, from the link's write observer: the line's context comes from
// the open line, the value before from what the transmitter held as last read (or a value noted by the writer).
#include "write_journal.h"

#include <map>

#include "comm_settings.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "journal.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "register_map.h"
#include "text_convert.h"
#include "transactions.h"

namespace {
const char* programName = "";
std::string (*openPortName)() = nullptr;
void (*complainOnce)(const std::string&) = nullptr;
std::string tag;
std::map<int, int16_t> notedBefore;
bool complained = false;

// What the register held: a noted value, the line's own settings, or the configuration last read.
bool ValueBefore(uint8_t function, int8_t reg, int32_t* before) {
    if (function != 6) return false;
    const auto noted = notedBefore.find(reg);
    if (noted != notedBefore.end()) {
        *before = noted->second;
        notedBefore.erase(noted);
        return true;
    }
    if (reg == kRegDeviceAddress) {
        *before = commSettings.deviceAddress;
        return true;
    }
    if (reg == kRegBaudCode) {
        *before = BaudCode(commSettings.baudRate);
        return *before >= 0;
    }
    // Writers read the whole configuration before they write.
    const ParameterKey* key = ParameterKeyOfRegister(reg);
    if (!key || readConfig.serialNumber == 0) return false;
    *before = key->get(readConfig);
    return true;
}

std::string KeyName(uint8_t function, int8_t reg) {
    if (function != 6) return Format("privado %d", reg);
    if (reg == kRegDeviceAddress) return "endereco";
    if (reg == kRegBaudCode) return "taxa";
    const ParameterKey* key = ParameterKeyOfRegister(reg);
    return key ? key->name : Format("registro %d", reg);
}

void JournalWrite(uint8_t function, int8_t reg, int16_t value, LinkError result) {
    JournalEntry entry;
    entry.program = programName;
    entry.port = openPortName ? openPortName() : "";
    entry.rate = commSettings.baudRate;
    entry.address = commSettings.deviceAddress;
    entry.serial = readConfig.serialNumber ? SerialNumberText(readConfig.serialNumber) : "";
    entry.tag = Cp1252ToUtf8(tag);
    entry.key = KeyName(function, reg);
    entry.reg = reg;
    entry.hasBefore = ValueBefore(function, reg, &entry.before);
    entry.written = value;
    entry.result = result == kLinkOk ? "ok" : Cp1252ToUtf8(LinkErrorText(result));
    // The transmitter holds the value now: the next write of the register starts from it.
    const ParameterKey* key = function == 6 ? ParameterKeyOfRegister(reg) : nullptr;
    if (key && result == kLinkOk) key->put(readConfig, value);
    std::string problem;
    // The transmitter has been written either way: say once that the record is missing, and go on.
    if (!AppendJournalEntry(entry, &problem) && !complained && complainOnce) {
        complained = true;
        complainOnce("aviso: o diário de escritas não pôde ser gravado (" + problem + ")");
    }
}
}  // namespace

void StartWriteJournal(const char* program, std::string (*portName)(), void (*complain)(const std::string&)) {
    programName = program;
    openPortName = portName;
    complainOnce = complain;
    SetWriteObserver(&JournalWrite);
}

void JournalSetTag(const std::string& text) { tag = text; }

void JournalNoteBefore(int8_t reg, int16_t before) { notedBefore[reg] = before; }
