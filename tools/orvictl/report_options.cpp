// The numbers report takes from the command line: the loop check's currents and its tolerance.
#include "report_options.h"

#include <cstdlib>

#include "loop_check.h"

bool ParseMeasured(const std::string& text, std::vector<double>* values) {
    const char separator = text.find(';') != std::string::npos ? ';' : ',';
    size_t start = 0;
    values->clear();
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        std::string field = text.substr(start, end - start);
        if (separator == ';')
            for (char& c : field)
                if (c == ',') c = '.';
        char* stop = nullptr;
        const double value = std::strtod(field.c_str(), &stop);
        if (field.empty() || *stop != '\0' || !(value >= 0 && value <= 30)) return false;
        values->push_back(value);
        start = end + 1;
    }
    return values->size() == static_cast<size_t>(kLoopPointCount);
}

bool ParseTolerance(const std::string& text, double* tolerance) {
    std::string field = text;
    for (char& c : field)
        if (c == ',') c = '.';
    char* stop = nullptr;
    *tolerance = std::strtod(field.c_str(), &stop);
    return !field.empty() && *stop == '\0' && *tolerance > 0 && *tolerance <= 100;
}
