// The commissioning report of the transmitter a program has just read: what both programs put in it.
#pragma once
#include <vector>

#include "commissioning_report.h"
#include "config_snapshot.h"
#include "journal_entry.h"
#include "line.h"

// The loop check's currents as measured, in mA: five each, or none for a blank column to fill in by hand.
struct LoopReadings {
    std::vector<double> asFound;  // before any adjustment
    std::vector<double> asLeft;
};

// Identity, the settings as found (the journal's values before the first writes) and as left
// (config), the range, the loop check of the readings, the alarm's trip points checked against the
// trend's record when the report has one, and when, by whom and where it was issued. The line (port,
// address, rate), the trims, the trend and the test instrument are the caller's.
void FillTransmitterReport(const ConfigSnapshot& config, const std::vector<JournalEntry>& journal,
                           const LoopReadings& readings, double tolerancePercent, CommissioningReport* report);

// The ZERO and SPAN labels of the trims of an output type ("ZERO (4 a 20 mA)").
const char* TrimRangeText(int outputType);
// ZERO and SPAN of the output type's calibration pair, read from the transmitter on line (label,
// value); empty when the type has none or a read fails. Without a line: the configurator's.
std::vector<std::pair<std::string, std::string>> ReadReportTrims(Line& line, int outputType);
std::vector<std::pair<std::string, std::string>> ReadReportTrims(int outputType);

// Now, as a report says when it was issued: "09/12/2026 05:40 (UTC-0300)".
std::string ReportIssuedText();
