// report's numbers and instrument from the command line, as a technician types them from a multimeter.
#pragma once
#include <string>
#include <vector>

#include "commissioning_report.h"

// Five currents in mA, 0 to 30: "4,8,12,16,20", or with decimal commas "4;8,02;12;16;20".
bool ParseMeasured(const std::string& text, std::vector<double>* values);
// A percentage of the span, above 0 and up to 100, with a decimal point or comma.
bool ParseTolerance(const std::string& text, double* tolerance);
// "name, serial, calibration due" (the name may hold commas; the date as AAAA-MM-DD or DD/MM/AAAA),
// UTF-8. today (AAAAMMDD as a number) marks a calibration due before it as overdue. False when a part
// is empty or the date is not a day of the calendar.
bool ParseInstrument(const std::string& text, long today, TestInstrument* instrument);
