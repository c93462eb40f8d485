// Reading the monitor's CSV into a trend and drawing it as SVG.
#include "trend_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "html_text.h"
#include "text_convert.h"

namespace {
std::vector<std::string> SplitCsvLine(const std::string& line, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

int Column(const std::vector<std::string>& headings, std::initializer_list<const char*> names) {
    for (size_t i = 0; i < headings.size(); ++i)
        for (const char* name : names)
            if (headings[i] == name) return static_cast<int>(i);
    return -1;
}

bool ParseNumber(std::string text, bool decimalComma, double* value) {
    if (decimalComma) std::replace(text.begin(), text.end(), ',', '.');
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str() + first, &end);
    while (end && *end == ' ') ++end;
    return end && *end == '\0' && std::isfinite(*value);
}

// A serial number without its leading zeros, which a spreadsheet drops when it saves the file again.
std::string SerialDigits(const std::string& serial) {
    const size_t first = serial.find_first_not_of('0');
    return first == std::string::npos ? std::string() : serial.substr(first);
}

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// A date and time of the calendar as seconds since 1970 (of that wall clock); false for anything else.
// %lf takes "inf", "nan" and exponents too: a time that is none would stretch the chart's axis without
// end. A leap second may show as :60.
bool CivilSeconds(int year, int month, int day, int hour, int minute, double second, double* seconds) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        !(second >= 0 && second < 61))
        return false;
    *seconds = static_cast<double>(DaysFromCivil(year, month, day)) * 86400.0 + hour * 3600.0 + minute * 60.0 + second;
    return true;
}

// "+hh:mm" or "-hh:mm" (after a "UTC" where given), an empty text or "Z": the offset from UTC in seconds.
bool ParseOffset(std::string zone, double* offset) {
    if (zone.compare(0, 3, "UTC") == 0) zone.erase(0, 3);
    *offset = 0;
    if (zone.empty() || zone == "Z") return true;
    int oh = 0, om = 0, consumed = 0;
    if ((zone[0] != '+' && zone[0] != '-') || std::sscanf(zone.c_str() + 1, "%2d:%2d%n", &oh, &om, &consumed) != 2 ||
        static_cast<size_t>(consumed) + 1 != zone.size() || oh < 0 || oh > 23 || om < 0 || om > 59)
        return false;
    *offset = (zone[0] == '-' ? -1 : 1) * (oh * 3600.0 + om * 60.0);
    return true;
}

// "2026-12-08T14:05:09.123", a space for the T, and an optional Z or +hh:mm offset; or the local time
// as monitor --excel writes it for a spreadsheet, "08/12/2026 14:05:09,123" (the seconds may be gone
// from a file the spreadsheet saved again), whose offset is in its own column: seconds since 1970.
bool ParseTime(std::string t, double* seconds) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, consumed = 0;
    double second = 0;
    if (t.size() > 2 && t[2] == '/') {
        std::replace(t.begin(), t.end(), ',', '.');
        const int got = std::sscanf(t.c_str(), "%2d/%2d/%4d %2d:%2d%n:%lf%n", &day, &month, &year, &hour, &minute,
                                    &consumed, &second, &consumed);
        return (got == 5 || got == 6) && static_cast<size_t>(consumed) == t.size() &&
               CivilSeconds(year, month, day, hour, minute, second, seconds);
    }
    if (std::sscanf(t.c_str(), "%4d-%2d-%2d%*[T ]%2d:%2d:%lf%n", &year, &month, &day, &hour, &minute, &second,
                    &consumed) != 6)
        return false;
    double offset = 0;
    if (!CivilSeconds(year, month, day, hour, minute, second, seconds) ||
        !ParseOffset(t.substr(static_cast<size_t>(consumed)), &offset))
        return false;
    *seconds -= offset;
    return true;
}

std::string Px(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// A tick step of 1, 2 or 5 times a power of ten giving about `count` intervals.
double NiceStep(double span, int count) {
    if (!(span > 0)) return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    return (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * power;
}

int DecimalsFor(double step) { return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)); }
}  // namespace

TrendRead ReadTransmitterTrend(const std::string& input, const TrendSource& source, TrendChart* chart,
                               std::string* problem) {
    std::string text = input;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    const std::vector<std::string> lines = Lines(text);
    if (lines.empty()) {
        *problem = "o arquivo está vazio";
        return TrendRead::kUnreadable;
    }
    // A spreadsheet's CSV for Portuguese is ';'-separated with decimal commas.
    const char separator = lines[0].find(';') != std::string::npos ? ';' : ',';
    const bool decimalComma = separator == ';';
    const std::vector<std::string> headings = SplitCsvLine(lines[0], separator);
    const int timeColumn = Column(headings, {"hora", "time"});
    const int valueColumn = Column(headings, {"valor", "value"});
    const int unitColumn = Column(headings, {"unidade", "unit"});
    const int alarmColumn = Column(headings, {"alarme", "alarm"});
    const int zoneColumn = Column(headings, {"fuso"});
    const int addressColumn = source.address > 0 ? Column(headings, {"endereco", "endere\xc3\xa7o", "address"}) : -1;
    const int serialColumn = source.serial.empty() ? -1 : Column(headings, {"numero_serie", "serial"});
    if (timeColumn < 0 || valueColumn < 0) {
        *problem = "faltam as colunas hora e valor (um CSV de orvictl monitor)";
        return TrendRead::kUnreadable;
    }
    auto field = [](const std::vector<std::string>& fields, int column) {
        return column >= 0 && static_cast<size_t>(column) < fields.size() ? fields[static_cast<size_t>(column)]
                                                                          : std::string();
    };
    chart->samples.clear();
    double firstSeconds = 0;
    bool sourceRows = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::vector<std::string> fields = SplitCsvLine(lines[i], separator);
        long address = 0;
        if (addressColumn >= 0 &&
            (!ParseWholeNumber(field(fields, addressColumn), 0, 255, &address) || address != source.address))
            continue;
        if (serialColumn >= 0 && SerialDigits(field(fields, serialColumn)) != SerialDigits(source.serial)) continue;
        sourceRows = true;
        double when = 0, value = 0, offset = 0;
        if (!ParseTime(field(fields, timeColumn), &when) || !ParseOffset(field(fields, zoneColumn), &offset) ||
            !ParseNumber(field(fields, valueColumn), decimalComma, &value))
            continue;
        when -= offset;
        if (chart->samples.empty()) {
            firstSeconds = when;
            chart->firstTime = field(fields, timeColumn);
            if (unitColumn >= 0) chart->unit = field(fields, unitColumn);
        }
        const std::string alarm = field(fields, alarmColumn);
        chart->samples.push_back({when - firstSeconds, value, alarm == "1" ? 1 : alarm == "0" ? 0 : -1});
    }
    if (!sourceRows && (addressColumn >= 0 || serialColumn >= 0)) {
        *problem = addressColumn >= 0 ? Format("nenhuma linha é do endereço %d", source.address) : std::string();
        if (serialColumn >= 0)
            *problem +=
                (problem->empty() ? "nenhuma linha é do número de série " : " com número de série ") + source.serial;
        return TrendRead::kNotThisSource;
    }
    if (chart->samples.empty()) {
        *problem = "nenhuma linha com valor";
        return TrendRead::kUnreadable;
    }
    return TrendRead::kRead;
}

double ScaleToPixels(double value, double low, double high, double pixelLow, double pixelHigh) {
    if (high == low) return (pixelLow + pixelHigh) / 2;
    return pixelLow + (value - low) / (high - low) * (pixelHigh - pixelLow);
}

std::string TrendSvg(const TrendChart& chart, int width, int height) {
    const double left = 64, right = width - 16.0, top = 14, bottom = height - 40.0;
    double low = std::min(chart.rangeLow, chart.rangeHigh), high = std::max(chart.rangeLow, chart.rangeHigh);
    double duration = 0;
    for (const TrendSample& s : chart.samples) {
        low = std::min(low, s.value);
        high = std::max(high, s.value);
        duration = std::max(duration, s.seconds);
    }
    if (high == low) high = low + 1;
    const double padding = (high - low) * 0.05;
    low -= padding;
    high += padding;
    const bool minutes = duration > 300;
    const double timeUnit = minutes ? 60 : 1;
    const double timeSpan = duration > 0 ? duration / timeUnit : 1;
    auto x = [&](double seconds) { return ScaleToPixels(seconds / timeUnit, 0, timeSpan, left, right); };
    auto y = [&](double value) { return ScaleToPixels(value, low, high, bottom, top); };

    const std::string unit = HtmlEscape(chart.unit);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"trend\" width=\"" + std::to_string(width) +
                      "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + " " +
                      std::to_string(height) + "\" role=\"img\" aria-label=\"Tend&#234;ncia do valor do processo\">\n";
    // The configured range as a band, with its edges dashed so that it shows without colour too.
    const double bandTop = y(std::max(chart.rangeLow, chart.rangeHigh));
    const double bandBottom = y(std::min(chart.rangeLow, chart.rangeHigh));
    svg += "<rect id=\"range-band\" x=\"" + Px(left) + "\" y=\"" + Px(bandTop) + "\" width=\"" + Px(right - left) +
           "\" height=\"" + Px(bandBottom - bandTop) +
           "\" fill=\"#e3edf9\" stroke=\"#6d8fb8\" stroke-dasharray=\"4 3\"/>\n";
    svg += "<line x1=\"" + Px(left) + "\" y1=\"" + Px(top) + "\" x2=\"" + Px(left) + "\" y2=\"" + Px(bottom) +
           "\" stroke=\"#000\"/>\n";
    svg += "<line x1=\"" + Px(left) + "\" y1=\"" + Px(bottom) + "\" x2=\"" + Px(right) + "\" y2=\"" + Px(bottom) +
           "\" stroke=\"#000\"/>\n";
    const double valueStep = NiceStep(high - low, 5);
    for (double v = std::ceil(low / valueStep) * valueStep; v <= high + valueStep * 1e-6; v += valueStep) {
        const double py = y(v);
        svg += "<line x1=\"" + Px(left - 4) + "\" y1=\"" + Px(py) + "\" x2=\"" + Px(left) + "\" y2=\"" + Px(py) +
               "\" stroke=\"#000\"/><text x=\"" + Px(left - 6) + "\" y=\"" + Px(py + 4) +
               "\" text-anchor=\"end\" font-size=\"11\">" + DecimalComma(v, DecimalsFor(valueStep)) + "</text>\n";
    }
    const double timeStep = NiceStep(timeSpan, 6);
    for (double t = 0; t <= timeSpan + timeStep * 1e-6; t += timeStep) {
        const double px = ScaleToPixels(t, 0, timeSpan, left, right);
        svg += "<line x1=\"" + Px(px) + "\" y1=\"" + Px(bottom) + "\" x2=\"" + Px(px) + "\" y2=\"" + Px(bottom + 4) +
               "\" stroke=\"#000\"/><text x=\"" + Px(px) + "\" y=\"" + Px(bottom + 16) +
               "\" text-anchor=\"middle\" font-size=\"11\">" + DecimalComma(t, DecimalsFor(timeStep)) + "</text>\n";
    }
    svg += "<text x=\"" + Px((left + right) / 2) + "\" y=\"" + Px(height - 6.0) +
           "\" text-anchor=\"middle\" font-size=\"12\">tempo (" + (minutes ? "min" : "s") + ")</text>\n";
    svg += "<text x=\"14\" y=\"" + Px((top + bottom) / 2) +
           "\" text-anchor=\"middle\" font-size=\"12\" transform=\"rotate(-90 14 " + Px((top + bottom) / 2) +
           ")\">valor" + (unit.empty() ? "" : " (" + unit + ")") + "</text>\n";
    svg += "<polyline id=\"trend-line\" fill=\"none\" stroke=\"#b00020\" stroke-width=\"1.5\" points=\"";
    for (size_t i = 0; i < chart.samples.size(); ++i)
        svg += (i ? " " : "") + Px(x(chart.samples[i].seconds)) + "," + Px(y(chart.samples[i].value));
    svg += "\"/>\n</svg>\n";
    return svg;
}
