// Expected currents and verdicts of the loop check.
#include "loop_check.h"

#include <cmath>

bool OutputSpanMa(int outputType, double* lowMa, double* highMa) {
    if (outputType != 13 && outputType != 14) return false;
    *lowMa = outputType == 14 ? 4.0 : 0.0;
    *highMa = 20.0;
    return true;
}

std::vector<LoopPoint> LoopCheck(int outputType, const std::vector<double>& measured, double tolerancePercent) {
    std::vector<LoopPoint> points;
    double low = 0, high = 0;
    if (!OutputSpanMa(outputType, &low, &high)) return points;
    const double span = high - low;
    for (int i = 0; i < kLoopPointCount; ++i) {
        LoopPoint point{};
        point.percent = 25.0 * i;
        point.expectedMa = low + span * point.percent / 100.0;
        point.measured = measured.size() == static_cast<size_t>(kLoopPointCount);
        if (point.measured) {
            point.measuredMa = measured[static_cast<size_t>(i)];
            point.errorPercent = (point.measuredMa - point.expectedMa) / span * 100.0;
            // A hair of rounding must not fail a reading exactly at the tolerance.
            point.pass = std::fabs(point.errorPercent) <= tolerancePercent + 1e-9;
        }
        points.push_back(point);
    }
    return points;
}

bool LoopCheckPassed(const std::vector<LoopPoint>& points) {
    if (points.empty()) return false;
    for (const LoopPoint& point : points)
        if (!point.measured || !point.pass) return false;
    return true;
}
