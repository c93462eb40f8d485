// The configurator's writes go to the same journal as orvictl's, under the name Orvi.exe.
#include "shell/records_journal.h"

#include "comm_settings.h"
#include "text_convert.h"
#include "ui_text.h"
#include "write_journal.h"

namespace {
std::string PortName() { return Cp1252ToUtf8(commSettings.portName); }

// The write has been made either way: the user hears once that its record is missing.
void Warn(const std::string& utf8) {
    ShowMessage(GetActiveWindow(), Utf8ToCp1252(utf8).c_str(), "Orvi", MB_OK | MB_ICONWARNING);
}
}  // namespace

void StartConfiguratorJournal() {
    StartWriteJournal("Orvi.exe", PortName, Warn);
    // Nothing is known of a transmitter until a sheet visit reads one (see sheet_visit.h).
    JournalSetTransmitter(nullptr);
}
