// The journal of writes: appending one entry, reading the journal back.
#pragma once
#include <string>

#include "journal_entry.h"

// Fills the time, user and machine when empty and appends the entry's line to JournalPath() with
// one write. False with the reason (and the path) in *problem: the caller reports it and goes on.
bool AppendJournalEntry(JournalEntry entry, std::string* problem);
// The same into a given file (tests, and a journal kept elsewhere).
bool AppendJournalEntryTo(const std::string& path, JournalEntry entry, std::string* problem);

// The journal's text; a journal not yet written is empty, not an error.
bool ReadJournalText(const std::string& path, std::string* text, std::string* problem);
