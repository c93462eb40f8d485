// monitor's options and the rows it writes: one per sample, answered or not.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct MonitorOptions {
    uint32_t intervalMs = 1000;
    long count = 0;  // 0: until Ctrl-C
    std::string csvPath;
    bool append = false;  // add rows to an existing CSV file
    bool force = false;   // replace an existing CSV file
    bool excel = false;   // ';' between fields, a decimal comma and a byte order mark, for a Portuguese spreadsheet
    std::vector<int> addresses;  // several transmitters of one line in turn; empty: the one of the global options
};

// How the rows are written: the separator and decimal mark, and whether each row names its transmitter.
struct CsvStyle {
    bool excel = false;
    bool perAddress = false;  // address, serial number and tag columns after the time
};

// Which transmitter a row is of (perAddress only); the tag is empty where none is known.
struct CsvSource {
    int address = 0;
    std::string tag;
    std::string serial;  // "00012345", so that a row stays the transmitter's when addresses are reused
};

// The byte order mark a spreadsheet needs to take the file as UTF-8.
extern const char kUtf8Mark[];

// "2026-12-08T15:00:00.123-03:00": local time with its offset from UTC, taken from the broken-down
// local time of the moment seconds (so it holds across a daylight-saving change).
std::string TimestampText(const std::tm& local, std::time_t seconds, int milliseconds);

// A sample's time as the rows write it: ISO 8601 with the offset in one field; for a Portuguese
// spreadsheet, which takes ISO text for text, the local date and time in the form it reads as a
// date-time, and the offset beside it (a wall-clock time repeats when daylight saving ends).
struct CsvTime {
    std::string iso;    // "2026-12-08T15:00:00.123-03:00"
    std::string local;  // "08/12/2026 15:00:00,123"
    std::string zone;   // "UTC-03:00"
};
CsvTime CsvTimeOf(const std::tm& local, std::time_t seconds, int milliseconds);

// monitor's arguments; false with the problem for the usage message.
bool ParseMonitorOptions(const std::vector<std::string>& arguments, MonitorOptions* options, std::string* problem);

// A CSV field, quoted where it holds the separator (a comma, or ';' for excel), a quote or a line break.
std::string CsvField(const std::string& text, char separator = ',');
// The header line, then rows in the same columns (with the line break). A spreadsheet's file has the
// column fuso after hora.
extern const char kCsvHeader[];
std::string CsvHeader(const CsvStyle& style);
// Whether the start of an existing file (its first bytes) is the header style writes, a byte order mark
// and a CR before the line break allowed: rows are added only under their own columns.
bool StartsWithCsvHeader(const std::string& fileStart, const CsvStyle& style);
std::string CsvSampleRow(const CsvTime& when, const std::string& value, const std::string& unit, int alarmOn,
                         uint16_t statusBits, const std::string& statusText, const CsvStyle& style = CsvStyle(),
                         const CsvSource& source = CsvSource());
// A sample whose status a gateway refused: the value and alarm, the status columns "não lido".
std::string CsvRefusedStatusRow(const CsvTime& when, const std::string& value, const std::string& unit, int alarmOn,
                                const CsvStyle& style = CsvStyle(), const CsvSource& source = CsvSource());
// A sample without a reply: the time, no value, and why in the status text column.
std::string CsvMissedRow(const CsvTime& when, const std::string& error, const CsvStyle& style = CsvStyle(),
                         const CsvSource& source = CsvSource());
