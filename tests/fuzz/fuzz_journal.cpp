// Fuzz target: any journal text (a damaged file, another program's lines) through the reader that
// journal, the report and the configurator's history use. Every line it shows reads back the same
// when written again, and no line gives more than one entry.
//
// Input: one byte choosing the filter (bit 0: a serial number, bit 1: a since date), then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "journal_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    JournalFilter filter;
    if (data[0] & 1) filter.serial = "12345";
    if (data[0] & 2) filter.since = "2026-12-08T14:05Z";

    int damaged = -1;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, filter, &damaged);
    size_t lines = 0;  // lines with anything in them
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines += end > start;
        start = end + 1;
    }
    // At most one entry a line (a line glued behind a torn one counts as damaged and is still shown).
    if (damaged < 0 || entries.size() > lines || static_cast<size_t>(damaged) > lines) std::abort();

    for (const JournalEntry& entry : entries) {
        if (!JournalEntryMatches(entry, filter) || entry.time.empty()) std::abort();
        const std::string line = JournalLine(entry);
        if (line.empty() || line.back() != '\n' || line.find('\n') != line.size() - 1) std::abort();
        JournalEntry again;
        if (!ParseJournalLine(line.substr(0, line.size() - 1), &again)) std::abort();
        if (JournalLine(again) != line) std::abort();
    }
    return 0;
}
