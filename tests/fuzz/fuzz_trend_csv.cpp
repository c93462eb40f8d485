// Fuzz target: any CSV given to report --trend, through the reader of monitor's CSV, the chart drawn
// from it and the alarm trips found in it: the samples are finite numbers from the first one on, the
// drawing ends with a bounded number of ticks whatever the values and times, and no trip is seen
// where the relay did not change between two samples.
//
// Input: one byte choosing the transmitter (bits 0-1: its address, 0 any; bit 2: its serial number
// 00012345) and the alarm function (bits 4-7), then the file's bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "alarm_trip_check.h"
#include "trend_chart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    TrendSource source;
    source.address = data[0] & 3;
    if (data[0] & 4) source.serial = "00012345";
    TrendChart chart;
    std::string problem;
    const TrendRead read = ReadTransmitterTrend(text, source, &chart, &problem);
    if (read != TrendRead::kRead) {
        if (problem.empty() && read == TrendRead::kUnreadable) std::abort();
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

    ConfigSnapshot config = {};
    config.alarmFunction = data[0] >> 4;
    config.upperLimit = 600;
    config.alarmSetPoint = 300;
    config.alarmHysteresis = 2;
    const AlarmTripCheck trips = CheckAlarmTrips(config, &chart, 0.25);
    if (trips.trips.size() >= chart.samples.size()) std::abort();
    return 0;
}
