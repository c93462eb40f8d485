// report's and plant report's numbers, instrument and operator from the command line, as a technician
// types them from a multimeter.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "commissioning_report.h"

// What a signed report takes besides its readings, in report and plant report alike.
struct SigningOptions {
    TestInstrument instrument;
    std::string operatorName;
    double tolerance = 0.25;  // % of span
    bool force = false;       // replace an earlier report
};

// When arguments[*i] is --instrument, --operator, --tolerance or --force, takes it (and its value,
// leaving *i on it) into options and sets *taken. False, with what is wrong, for a missing or bad value.
bool TakeSigningOption(const std::vector<std::string>& arguments, size_t* i, SigningOptions* options, bool* taken,
                       std::string* problem);

// Five currents in mA, 0 to 30: "4,8,12,16,20", or with decimal commas "4;8,02;12;16;20".
bool ParseMeasured(const std::string& text, std::vector<double>* values);
// A percentage of the span, above 0 and up to 100, with a decimal point or comma.
bool ParseTolerance(const std::string& text, double* tolerance);
// "name, serial, calibration due" (the name may hold commas; the date as AAAA-MM-DD or DD/MM/AAAA),
// UTF-8. today (AAAAMMDD as a number) marks a calibration due before it as overdue. False when a part
// is empty or the date is not a day of the calendar.
bool ParseInstrument(const std::string& text, long today, TestInstrument* instrument);
