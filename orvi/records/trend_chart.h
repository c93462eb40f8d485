// The process value's trend for the report: read from a monitor CSV, drawn as an inline SVG.
#pragma once
#include <string>
#include <vector>

struct TrendSample {
    double seconds;  // since the first sample
    double value;
    int alarm = -1;  // the alarm output read with the value: 1 on, 0 off, -1 not in the file
};

struct TrendChart {
    std::vector<TrendSample> samples;
    std::string unit;                    // UTF-8, from the CSV
    double rangeLow = 0, rangeHigh = 0;  // the configured range, drawn as a band
    std::string firstTime;               // the first sample's time as the CSV wrote it
};

// The transmitter whose rows a trend takes: address 0 and an empty serial number take any row.
struct TrendSource {
    int address = 0;
    std::string serial;  // as the records write it, "00012345"
};

enum class TrendRead {
    kRead,
    kUnreadable,     // no hora or valor column, or no row with a value
    kNotThisSource,  // the file names its transmitters, and none of its rows is the source
};

// Reads a monitor CSV (',' or ';' with decimal commas, a BOM allowed; columns found by their
// heading: hora, valor, unidade, alarme, and endereco and numero_serie when several transmitters
// share the file). Only the source's rows are taken: its address where the file has an endereco
// column, its serial number where it has a numero_serie column. Rows without a value are passed
// over. The problem says why a file was not read.
TrendRead ReadTransmitterTrend(const std::string& text, const TrendSource& source, TrendChart* chart,
                               std::string* problem);

// A position on an axis: value from [low, high] onto [pixelLow, pixelHigh] (either may be the larger).
double ScaleToPixels(double value, double low, double high, double pixelLow, double pixelHigh);

// The chart as an <svg> element (axes with ticks and units, the range as a band, the trend as a
// polyline); width and height in CSS pixels.
std::string TrendSvg(const TrendChart& chart, int width, int height);
