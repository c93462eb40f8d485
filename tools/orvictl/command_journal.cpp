// journal: the writes orvictl (and the configurator) recorded, all or one transmitter's, as a table or JSON lines.
#include "commands.h"
#include "line_session.h"
#include "exit_codes.h"
#include "journal.h"
#include "records_platform.h"
#include "text_output.h"

namespace {
std::string BeforeText(const JournalEntry& entry) { return entry.hasBefore ? std::to_string(entry.before) : "?"; }

// A column of the table and the blank after it.
std::string Column(const std::string& utf8, size_t width) { return PadRight(utf8, width) + " "; }

// The table in UTF-8: the journal's texts come from people and keep every character.
std::string TableLine(const JournalEntry& e) {
    return Column(e.time, 20) + Column(e.program, 9) + Column(std::to_string(e.address), 4) +
           Column(std::to_string(e.rate), 6) + Column(e.serial, 9) + Column(e.tag.empty() ? "-" : e.tag, 10) +
           Column(e.key, 17) + Format("%7s %8d  ", BeforeText(e).c_str(), static_cast<int>(e.written)) + e.result +
           "\n";
}
}  // namespace

int RunJournal(LineSession&, const GlobalOptions&, const Arguments& arguments) {
    JournalFilter filter;
    bool json = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--json") {
            json = true;
            continue;
        }
        if ((option != "--serial" && option != "--since") || i + 1 >= arguments.size())
            return UsageError("journal", option.rfind("--", 0) == 0 && i + 1 >= arguments.size()
                                             ? option + " precisa de um valor"
                                             : "argumento inesperado: " + option);
        const std::string value = arguments[++i];
        if (option == "--serial") filter.serial = arguments[i];  // UTF-8 as given
        if (option == "--since") {
            if (!ValidSinceText(value))
                return UsageError("journal", "--since espera uma data AAAA-MM-DD (UTC), com hora THH:MM se quiser");
            filter.since = value;
        }
    }
    std::vector<JournalEntry> entries;
    int damaged = 0;
    std::string problem;
    if (!ReadJournalEntries(filter, &entries, &damaged, &problem)) {
        Complain("o diário não pôde ser lido: " + problem);
        return kExitFile;
    }
    if (damaged) Complain(Format("aviso: %d linha(s) danificada(s) do diário foram ignoradas", damaged));
    if (json) {
        for (const JournalEntry& entry : entries) WriteOut(JournalLine(entry));
    } else {
        WriteOut(Format("%-20s %-9s %-4s %-6s %s %-10s %s %7s %8s  %s\n", "HORA (UTC)", "PROGRAMA", "END.", "TAXA",
                        PadRight("SÉRIE", 9).c_str(), "TAG", PadRight("PARÂMETRO", 17).c_str(), "ANTES", "ESCRITO",
                        "RESULTADO"));
        for (const JournalEntry& entry : entries) WriteOut(TableLine(entry));
    }
    WriteErr(Format("%d escrita(s) no diário %s\n", static_cast<int>(entries.size()), JournalPath().c_str()));
    return kExitOk;
}
