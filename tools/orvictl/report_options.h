// report's numbers from the command line, as a technician types them from a multimeter.
#pragma once
#include <string>
#include <vector>

// Five currents in mA, 0 to 30: "4,8,12,16,20", or with decimal commas "4;8,02;12;16;20".
bool ParseMeasured(const std::string& text, std::vector<double>* values);
// A percentage of the span, above 0 and up to 100, with a decimal point or comma.
bool ParseTolerance(const std::string& text, double* tolerance);
