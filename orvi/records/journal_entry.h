// One line of the journal of writes: what was written where, by whom, and how it ended.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Texts are UTF-8. A value not known (a write made without reading first) has hasBefore false.
struct JournalEntry {
    std::string time;  // UTC, ISO 8601: 2026-12-08T14:05:09Z
    std::string user;
    std::string machine;
    std::string program;
    std::string port;
    int32_t rate = 0;
    int address = 0;
    std::string serial;
    std::string tag;
    std::string key;  // the parameter's name, or "registro N" / "privado N"
    int reg = -1;     // the register (or private value) written
    bool hasBefore = false;
    int32_t before = 0;
    int32_t written = 0;
    std::string result;   // the outcome in words ("confirmado", "não confirmado: lido 7" ...)
    std::string outcome;  // JournalOutcomeCode's word; empty in lines of older versions
    bool hasReadBack = false;
    int32_t readBack = 0;
    int exception = 0;  // the exception code of a refusal
};

// How a journalled write ended: only kConfirmed says the transmitter holds the value written;
// kNotConfirmed and kNoReply say it may.
enum class JournalOutcome { kConfirmed, kNotConfirmed, kNoReply, kRefused, kNotSent };
// "confirmado", "nao_confirmado", "sem_resposta", "recusado", "nao_enviado".
const char* JournalOutcomeCode(JournalOutcome outcome);
// The outcome of a line; a line of an older version, which has only its result, was "ok" when
// confirmed and otherwise carried the link's error text.
JournalOutcome OutcomeOfEntry(const JournalEntry& entry);
// Fills outcome and result from how the write ended; linkError names a failure's cause.
void SetJournalOutcome(JournalEntry* entry, JournalOutcome outcome, const std::string& linkError);

// A rate as the journal shows it, in bit/s, from the code register 45 holds for it (0 is 1200 ... 4 is
// 19200); any other value stays as it is.
int32_t RateOfCode(int32_t code);

// The entry as one JSON object on one line, newline included.
std::string JournalLine(const JournalEntry& entry);
// A line as JournalLine writes it (any order of members, unknown members ignored); false for
// anything else, so a damaged line is passed over instead of shown wrong. A rate change of an older
// version, which wrote the register's codes, reads in bit/s as the lines of today.
bool ParseJournalLine(const std::string& line, JournalEntry* entry);

// The moment in seconds since 1970 as the journal writes it (UTC).
std::string IsoUtcTime(int64_t secondsSince1970);

// A --since value: YYYY-MM-DD, optionally with THH:MM[:SS][Z]; false for anything else.
bool ValidSinceText(const std::string& text);

struct JournalFilter {
    std::string serial;  // empty: every transmitter; leading zeros do not matter
    std::string since;   // empty: from the start
};
bool JournalEntryMatches(const JournalEntry& entry, const JournalFilter& filter);
// Splits the journal's text into lines and keeps the entries that match; damaged lines are counted.
std::vector<JournalEntry> SelectJournalEntries(const std::string& text, const JournalFilter& filter, int* damagedLines);
