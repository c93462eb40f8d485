// The journal of writes: appending one entry, reading the journal back.
#pragma once
#include <string>
#include <vector>

#include "journal_entry.h"

// Fills the time, user and machine when empty and appends the entry's line to JournalPath() with
// one write. False with the reason (and the path) in *problem: the caller reports it and goes on.
bool AppendJournalEntry(JournalEntry entry, std::string* problem);
// The same into a given file (tests, and a journal kept elsewhere).
bool AppendJournalEntryTo(const std::string& path, JournalEntry entry, std::string* problem);

// The journal's text; a journal not yet written is empty, not an error.
bool ReadJournalText(const std::string& path, std::string* text, std::string* problem);
// The entries of the journal at JournalPath() that match filter, in journal order, damaged lines
// counted. False with the reason in *problem when there is no journal folder or it cannot be read.
bool ReadJournalEntries(const JournalFilter& filter, std::vector<JournalEntry>* entries, int* damagedLines,
                        std::string* problem);
