// Parsing monitor's options and formatting its CSV rows.
#include "monitor_csv.h"

#include <cstdlib>

#include "cli_options.h"
#include "text_output.h"

namespace {
bool ParseInterval(const std::string& text, uint32_t* ms) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(seconds >= 0.1 && seconds <= 86400)) return false;
    *ms = static_cast<uint32_t>(seconds * 1000 + 0.5);
    return true;
}
}  // namespace

const char kCsvHeader[] = "hora,valor,unidade,alarme,estado_bits,estado\n";

bool ParseMonitorOptions(const std::vector<std::string>& arguments, MonitorOptions* options, std::string* problem) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--append" || option == "--force") {
            (option == "--append" ? options->append : options->force) = true;
            continue;
        }
        if (option != "--interval" && option != "--count" && option != "--csv") {
            *problem = UnexpectedArgumentText(option);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            *problem = option + " precisa de um valor";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--interval" && !ParseInterval(value, &options->intervalMs)) {
            *problem = "--interval espera segundos, de 0.1 a 86400";
            return false;
        }
        if (option == "--count" && !ParseWholeNumber(value, 1, 100000000L, &options->count)) {
            *problem = "--count espera um número inteiro positivo";
            return false;
        }
        if (option == "--csv") options->csvPath = value;
    }
    if (options->append && options->force) {
        *problem = "--append e --force não combinam: acrescentar ou substituir?";
        return false;
    }
    if ((options->append || options->force) && (options->csvPath.empty() || options->csvPath == "-")) {
        *problem = "--append e --force valem só com --csv ARQUIVO";
        return false;
    }
    return true;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvSampleRow(const std::string& when, const std::string& value, const std::string& unit, int alarmOn,
                         uint16_t statusBits, const std::string& statusText) {
    return Format("%s,%s,%s,%d,%u,%s\n", when.c_str(), value.c_str(), CsvField(unit).c_str(), alarmOn,
                  static_cast<unsigned>(statusBits), CsvField(statusText).c_str());
}

std::string CsvRefusedStatusRow(const std::string& when, const std::string& value, const std::string& unit,
                                int alarmOn) {
    return Format("%s,%s,%s,%d,,não lido\n", when.c_str(), value.c_str(), CsvField(unit).c_str(), alarmOn);
}

std::string CsvMissedRow(const std::string& when, const std::string& error) {
    return Format("%s,,,,,%s\n", when.c_str(), CsvField("sem leitura: " + error).c_str());
}
