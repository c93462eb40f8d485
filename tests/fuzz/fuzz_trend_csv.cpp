// Fuzz target: any CSV given to report --trend, through the reader of monitor's CSV and the chart
// drawn from it: the samples are finite numbers from the first one on, and the drawing ends with a
// bounded number of ticks whatever the values and times.
//
// Input: one byte choosing the transmitter (0: every row), then the file's bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "trend_chart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    TrendChart chart;
    std::string problem;
    if (!ReadTrendCsv(text, data[0] % 4, &chart, &problem)) {
        if (problem.empty()) std::abort();
        return 0;
    }
    if (chart.samples.empty() || chart.samples[0].seconds != 0) std::abort();
    for (const TrendSample& sample : chart.samples)
        if (!std::isfinite(sample.seconds) || !std::isfinite(sample.value)) std::abort();
    chart.rangeLow = 0;
    chart.rangeHigh = 600;
    const std::string svg = TrendSvg(chart, 640, 240);
    // Axes, ticks and labels take a few kilobytes; the trend line a few dozen bytes a sample.
    if (svg.size() > 8192 + 64 * chart.samples.size() + chart.unit.size() * 8) std::abort();
    return 0;
}
