// Parsing monitor's options and formatting its CSV rows.
#include "monitor_csv.h"

#include <cstdlib>

#include "cli_options.h"
#include "text_output.h"
#include "utc_offset.h"

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
        if (option == "--append" || option == "--force" || option == "--excel") {
            (option == "--append" ? options->append : option == "--force" ? options->force : options->excel) = true;
            continue;
        }
        if (option != "--interval" && option != "--count" && option != "--csv" && option != "--addresses") {
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
        if (option == "--addresses" && !ParseAddressList(value, &options->addresses)) {
            *problem = "--addresses espera uma lista de endereços, por exemplo 1,7,12 ou 10-12";
            return false;
        }
        if (option == "--csv") options->csvPath = value;
    }
    if (options->append && options->force) {
        *problem = "--append e --force não combinam: acrescentar ou substituir?";
        return false;
    }
    if (options->excel && options->csvPath.empty()) {
        *problem = "--excel vale só com --csv";
        return false;
    }
    if ((options->append || options->force) && (options->csvPath.empty() || options->csvPath == "-")) {
        *problem = "--append e --force valem só com --csv ARQUIVO";
        return false;
    }
    return true;
}

const char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string TimestampText(const std::tm& local, std::time_t seconds, int milliseconds) {
    const long offset = UtcOffsetSeconds(local, seconds);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return Format("%s.%03d%c%02ld:%02ld", text, milliseconds, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

namespace {
std::string Join(const std::vector<std::string>& fields, const CsvStyle& style, const CsvSource& source) {
    const char separator = style.excel ? ';' : ',';
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i == 1 && style.perAddress)
            line +=
                Format("%c%d%c%s%c%s", separator, source.address, separator, CsvField(source.serial, separator).c_str(),
                       separator, CsvField(source.tag, separator).c_str());
        if (i) line += separator;
        line += CsvField(fields[i], separator);
    }
    return line + "\n";
}

// The process value with the spreadsheet's decimal mark.
std::string NumberText(const std::string& value, const CsvStyle& style) {
    std::string text = value;
    if (style.excel)
        for (char& c : text)
            if (c == '.') c = ',';
    return text;
}
}  // namespace

std::string CsvHeader(const CsvStyle& style) {
    const std::string separator = style.excel ? ";" : ",";
    std::string line = "hora";
    if (style.perAddress) line += separator + "endereco" + separator + "numero_serie" + separator + "tag";
    for (const char* name : {"valor", "unidade", "alarme", "estado_bits", "estado"}) line += separator + name;
    return line + "\n";
}

bool StartsWithCsvHeader(const std::string& fileStart, const CsvStyle& style) {
    const size_t from = fileStart.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    std::string line = fileStart.substr(from, fileStart.find('\n', from) - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string header = CsvHeader(style);
    return line == header.substr(0, header.size() - 1);
}

std::string CsvField(const std::string& text, char separator) {
    if (text.find_first_of(std::string(1, separator) + "\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvSampleRow(const std::string& when, const std::string& value, const std::string& unit, int alarmOn,
                         uint16_t statusBits, const std::string& statusText, const CsvStyle& style,
                         const CsvSource& source) {
    return Join({when, NumberText(value, style), unit, Format("%d", alarmOn),
                 Format("%u", static_cast<unsigned>(statusBits)), statusText},
                style, source);
}

std::string CsvRefusedStatusRow(const std::string& when, const std::string& value, const std::string& unit, int alarmOn,
                                const CsvStyle& style, const CsvSource& source) {
    return Join({when, NumberText(value, style), unit, Format("%d", alarmOn), "", "não lido"}, style, source);
}

std::string CsvMissedRow(const std::string& when, const std::string& error, const CsvStyle& style,
                         const CsvSource& source) {
    return Join({when, "", "", "", "", "sem leitura: " + error}, style, source);
}
