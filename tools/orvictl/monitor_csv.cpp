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

namespace {
// "-03:00": the offset from UTC of the local time of the moment seconds.
std::string OffsetText(const std::tm& local, std::time_t seconds) {
    const long offset = UtcOffsetSeconds(local, seconds);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    return Format("%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

std::string LocalText(const std::tm& local, const char* format) {
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}
}  // namespace

std::string TimestampText(const std::tm& local, std::time_t seconds, int milliseconds) {
    return Format("%s.%03d", LocalText(local, "%Y-%m-%dT%H:%M:%S").c_str(), milliseconds) + OffsetText(local, seconds);
}

CsvTime CsvTimeOf(const std::tm& local, std::time_t seconds, int milliseconds) {
    // Day first and the decimal comma, as pt-BR writes a date-time; no quotes, so it is not taken as text.
    return {TimestampText(local, seconds, milliseconds),
            Format("%s,%03d", LocalText(local, "%d/%m/%Y %H:%M:%S").c_str(), milliseconds),
            "UTC" + OffsetText(local, seconds)};
}

namespace {
// The time fields, the transmitter's where the rows name it, then the fields of the sample.
std::string Join(const CsvTime& when, const std::vector<std::string>& fields, const CsvStyle& style,
                 const CsvSource& source) {
    const char separator = style.excel ? ';' : ',';
    std::string line = style.excel ? CsvField(when.local, separator) + separator + CsvField(when.zone, separator)
                                   : CsvField(when.iso, separator);
    if (style.perAddress)
        line += Format("%c%d%c%s%c%s", separator, source.address, separator, CsvField(source.serial, separator).c_str(),
                       separator, CsvField(source.tag, separator).c_str());
    for (const std::string& field : fields) line += separator + CsvField(field, separator);
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
    std::string line = style.excel ? "hora;fuso" : "hora";
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

std::string CsvSampleRow(const CsvTime& when, const std::string& value, const std::string& unit, int alarmOn,
                         uint16_t statusBits, const std::string& statusText, const CsvStyle& style,
                         const CsvSource& source) {
    return Join(when,
                {NumberText(value, style), unit, Format("%d", alarmOn), Format("%u", static_cast<unsigned>(statusBits)),
                 statusText},
                style, source);
}

std::string CsvRefusedStatusRow(const CsvTime& when, const std::string& value, const std::string& unit, int alarmOn,
                                const CsvStyle& style, const CsvSource& source) {
    return Join(when, {NumberText(value, style), unit, Format("%d", alarmOn), "", "não lido"}, style, source);
}

std::string CsvMissedRow(const CsvTime& when, const std::string& error, const CsvStyle& style,
                         const CsvSource& source) {
    return Join(when, {"", "", "", "", "sem leitura: " + error}, style, source);
}
