// Journals every write orvictl makes, from the link's write observer: the line's context comes from
// the open line, the value before from the configuration last read (or a value noted by the command).
#include "write_journal.h"

#include <map>

#include "comm_settings.h"
#include "communication_rates.h"
#include "config_snapshot.h"
#include "journal.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "parameter_keys.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
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
    // Commands read the whole configuration before they write, and write from a copy of it.
    const ParameterKey* key = ParameterKeyOfRegister(reg);
    if (!key || configSnapshot.serialNumber == 0) return false;
    *before = key->get(configSnapshot);
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
    entry.program = "orvictl";
    entry.port = LinePortName();
    entry.rate = commSettings.baudRate;
    entry.address = commSettings.deviceAddress;
    entry.serial = configSnapshot.serialNumber ? SerialNumberText(configSnapshot.serialNumber) : "";
    entry.tag = Cp1252ToUtf8(tag);
    entry.key = KeyName(function, reg);
    entry.reg = reg;
    entry.hasBefore = ValueBefore(function, reg, &entry.before);
    entry.written = value;
    entry.result = result == kLinkOk ? "ok" : Cp1252ToUtf8(LinkErrorText(result));
    std::string problem;
    // The transmitter has been written either way: say once that the record is missing, and go on.
    if (!AppendJournalEntry(entry, &problem) && !complained) {
        complained = true;
        Complain("aviso: o diário de escritas não pôde ser gravado (" + problem + ")");
    }
}

// Installed before main: no command can write without being journalled.
const bool installed = (SetWriteObserver(&JournalWrite), true);
}  // namespace

void JournalSetTag(const std::string& text) { tag = text; }

void JournalNoteBefore(int8_t reg, int16_t before) { notedBefore[reg] = before; }
