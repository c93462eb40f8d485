// The commissioning report of the transmitter a program has just read: what both programs put in it.
#pragma once
#include <vector>

#include "commissioning_report.h"
#include "config_snapshot.h"
#include "journal_entry.h"

// Identity, the settings as found (the journal's values before the first writes) and as left
// (config), the range and the loop check (measured: five currents in mA, or none for a blank
// column to fill in by hand), and when, by whom and where it was issued. The line (port, address,
// rate), the trims and a trend are the caller's.
void FillTransmitterReport(const ConfigSnapshot& config, const std::vector<JournalEntry>& journal,
                           const std::vector<double>& measured, double tolerancePercent, CommissioningReport* report);

// The ZERO and SPAN labels of the trims of an output type ("ZERO (4 a 20 mA)").
const char* TrimRangeText(int outputType);
// ZERO and SPAN of the output type's calibration pair, read from the transmitter on the line (label,
// value); empty when the type has none or a read fails.
std::vector<std::pair<std::string, std::string>> ReadReportTrims(int outputType);
