// What report and plant report take from the command line: the loop check's currents, its tolerance,
// the test instrument and the operator.
#include "report_options.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "loop_check.h"
#include "records_platform.h"
#include "text_convert.h"

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

namespace {
std::string Trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool IsDay(long year, long month, long day) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day < 29 || leap;
}

// AAAA-MM-DD or DD/MM/AAAA as AAAAMMDD.
bool ParseDate(const std::string& text, long* date) {
    const bool iso = text.size() == 10 && text[4] == '-' && text[7] == '-';
    const bool brazilian = text.size() == 10 && text[2] == '/' && text[5] == '/';
    if (!iso && !brazilian) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((iso ? i != 4 && i != 7 : i != 2 && i != 5) && (text[i] < '0' || text[i] > '9')) return false;
    long year = 0, month = 0, day = 0;
    if (!ParseWholeNumber(text.substr(iso ? 0 : 6, 4), 1900, 9999, &year) ||
        !ParseWholeNumber(text.substr(iso ? 5 : 3, 2), 1, 12, &month) ||
        !ParseWholeNumber(text.substr(iso ? 8 : 0, 2), 1, 31, &day) || !IsDay(year, month, day))
        return false;
    *date = year * 10000 + month * 100 + day;
    return true;
}
}  // namespace

bool ParseInstrument(const std::string& text, long today, TestInstrument* instrument) {
    const size_t second = text.rfind(',');
    const size_t first = second == std::string::npos || second == 0 ? std::string::npos : text.rfind(',', second - 1);
    if (first == std::string::npos) return false;
    const std::string name = Trimmed(text.substr(0, first));
    const std::string serial = Trimmed(text.substr(first + 1, second - first - 1));
    long due = 0;
    if (name.empty() || serial.empty() || !ParseDate(Trimmed(text.substr(second + 1)), &due)) return false;
    instrument->name = name;
    instrument->serial = serial;
    instrument->calibrationDue = Format("%02ld/%02ld/%04ld", due % 100, due / 100 % 100, due / 10000);
    instrument->calibrationOverdue = due < today;
    return true;
}

namespace {
// Today as AAAAMMDD, against which an instrument's calibration is due.
long Today() {
    const std::tm local = LocalTimeOf(std::time(nullptr));
    return (local.tm_year + 1900L) * 10000 + (local.tm_mon + 1L) * 100 + local.tm_mday;
}
}  // namespace

bool TakeSigningOption(const std::vector<std::string>& arguments, size_t* i, SigningOptions* options, bool* taken,
                       std::string* problem) {
    const std::string& option = arguments[*i];
    *taken = option == "--force" || option == "--instrument" || option == "--operator" || option == "--tolerance";
    if (!*taken) return true;
    if (option == "--force") {
        options->force = true;
        return true;
    }
    if (*i + 1 >= arguments.size()) {
        *problem = option + " precisa de um valor";
        return false;
    }
    const std::string& value = arguments[++*i];
    if (option == "--instrument" && !ParseInstrument(value, Today(), &options->instrument))
        *problem = "--instrument espera \"nome, série, calibração válida até\", com a data em AAAA-MM-DD ou DD/MM/AAAA";
    if (option == "--tolerance" && !ParseTolerance(value, &options->tolerance))
        *problem = "--tolerance espera uma porcentagem do span, por exemplo 0.25";
    if (option == "--operator") {
        options->operatorName = Trimmed(value);
        if (options->operatorName.empty()) *problem = "--operator espera o nome de quem assina";
    }
    return problem->empty();
}
