// monitor's options and the rows it writes: one per sample, answered or not.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MonitorOptions {
    uint32_t intervalMs = 1000;
    long count = 0;  // 0: until Ctrl-C
    std::string csvPath;
    bool append = false;  // add rows to an existing CSV file
    bool force = false;   // replace an existing CSV file
};

// monitor's arguments; false with the problem for the usage message.
bool ParseMonitorOptions(const std::vector<std::string>& arguments, MonitorOptions* options, std::string* problem);

// A CSV field, quoted where it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
// The header line, then rows in the same columns (CP1252 texts, with the line break).
extern const char kCsvHeader[];
std::string CsvSampleRow(const std::string& when, const std::string& value, const std::string& unit, int alarmOn,
                         uint16_t statusBits, const std::string& statusText);
// A sample whose status a gateway refused: the value and alarm, the status columns "não lido".
std::string CsvRefusedStatusRow(const std::string& when, const std::string& value, const std::string& unit,
                                int alarmOn);
// A sample without a reply: the time, no value, and why in the status text column.
std::string CsvMissedRow(const std::string& when, const std::string& error);
