// The process value's trend for the report: read from a monitor CSV, drawn as an inline SVG.
#pragma once
#include <string>
#include <vector>

struct TrendSample {
    double seconds;  // since the first sample
    double value;
};

struct TrendChart {
    std::vector<TrendSample> samples;
    std::string unit;                    // UTF-8, from the CSV
    double rangeLow = 0, rangeHigh = 0;  // the configured range, drawn as a band
    std::string firstTime;               // the first sample's time as the CSV wrote it
};

// Reads a monitor CSV (',' or ';' with decimal commas, a BOM allowed; columns found by their
// heading: hora, valor, unidade, and endereco when several transmitters share the file). Rows
// without a value are passed over; address > 0 keeps that transmitter's rows. False (with the
// reason) when the file has no hora or valor column or no row with a value.
bool ReadTrendCsv(const std::string& text, int address, TrendChart* chart, std::string* problem);

// A position on an axis: value from [low, high] onto [pixelLow, pixelHigh] (either may be the larger).
double ScaleToPixels(double value, double low, double high, double pixelLow, double pixelHigh);

// The chart as an <svg> element (axes with ticks and units, the range as a band, the trend as a
// polyline); width and height in CSS pixels.
std::string TrendSvg(const TrendChart& chart, int width, int height);
