// The commissioning report of one transmitter: one self-contained HTML page (CSS inline, an inline
// SVG trend, no script), Portuguese, A4 when printed.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "alarm_trip_check.h"
#include "journal_entry.h"
#include "loop_check.h"
#include "trend_chart.h"

// Texts are UTF-8.
struct ReportSetting {
    std::string label;
    std::string asFound;
    std::string asLeft;
};

// The instrument the loop check's currents were measured with; empty fields are left to fill in by hand.
struct TestInstrument {
    std::string name, serial;
    std::string calibrationDue;       // "31/03/2027"
    bool calibrationOverdue = false;  // due before the report's day
};

struct CommissioningReport {
    std::string serial, firmware, tag, port, inputType;
    int address = 0;
    int rate = 0;
    std::vector<ReportSetting> settings;                     // as found and as left
    std::vector<std::pair<std::string, std::string>> trims;  // label, value
    int journalWrites = 0;                                   // lines of this transmitter in the journal
    // Writes the journal could not confirm ("limite_superior: sem resposta ..."): the transmitter may
    // or may not hold them; the column as left shows what it was read to hold.
    std::vector<std::string> unconfirmedWrites;
    // The loop check over the configured range (process units, shown with valueDecimals).
    int outputType = 0;
    double rangeLow = 0, rangeHigh = 0;
    int valueDecimals = 0;
    std::string unit;
    std::vector<LoopPoint> loop;         // as left
    std::vector<LoopPoint> loopAsFound;  // before any adjustment
    double tolerancePercent = 0.25;
    TestInstrument instrument;
    AlarmTripCheck alarm;   // the relay's trips in the trend's record
    std::string alarmName;  // the alarm function's name
    bool hasTrend = false;
    std::string trendHint;  // without a trend: how the program that made the report adds one
    TrendChart trend;
    std::string issued;  // when the report was made, as people read it
    std::string user, machine;
    std::string operatorName;  // who signs as operator; empty: a blank to sign on
    // A page of a plant's dossier: the plant it belongs to and its index page (a link beside it).
    std::string plant, indexPage;
};

// The value each key held before its first write in the journal (entries in journal order);
// keys without a known value before are left out.
std::map<std::string, int32_t> ValuesBeforeFirstWrite(const std::vector<JournalEntry>& entries);
// The writes of the journal that may have changed the transmitter without being confirmed (not
// confirmed, no reply), each as "key: result".
std::vector<std::string> UnconfirmedWrites(const std::vector<JournalEntry>& entries);

// Every printed page carries the plant (in a dossier), the tag, the serial number and its page number.
std::string CommissioningReportHtml(const CommissioningReport& report);
