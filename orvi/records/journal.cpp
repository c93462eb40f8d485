// Appending to the journal and reading it back, through the records' platform parts.
#include "journal.h"

#include <ctime>

#include "records_platform.h"

bool AppendJournalEntryTo(const std::string& path, JournalEntry entry, std::string* problem) {
    if (entry.time.empty()) entry.time = IsoUtcTime(static_cast<int64_t>(std::time(nullptr)));
    if (entry.user.empty()) entry.user = CurrentUserName();
    if (entry.machine.empty()) entry.machine = MachineName();
    if (path.empty()) {
        *problem = "não há pasta para o diário (HOME ou LOCALAPPDATA indefinido)";
        return false;
    }
    std::string why;
    if (AppendLineToFile(path, JournalLine(entry), &why)) return true;
    *problem = path + ": " + why;
    return false;
}

bool AppendJournalEntry(JournalEntry entry, std::string* problem) {
    return AppendJournalEntryTo(JournalPath(), entry, problem);
}

bool ReadJournalText(const std::string& path, std::string* text, std::string* problem) {
    bool missing = false;
    if (ReadWholeFile(path, text, &missing)) return true;
    if (missing) {
        text->clear();
        return true;
    }
    *problem = path + ": não pôde ser lido";
    return false;
}

bool ReadJournalEntries(const JournalFilter& filter, std::vector<JournalEntry>* entries, int* damagedLines,
                        std::string* problem) {
    const std::string path = JournalPath();
    std::string text;
    if (path.empty()) {
        *problem = "sem pasta de usuário";
        return false;
    }
    if (!ReadJournalText(path, &text, problem)) return false;
    *entries = SelectJournalEntries(text, filter, damagedLines);
    return true;
}
