// The loop check of a commissioning: the current expected at 0, 25, 50, 75 and 100 % of the range,
// the current measured, the error in % of span and the verdict.
#pragma once
#include <vector>

struct LoopPoint {
    double percent;     // of the configured range
    double expectedMa;  // what the output should drive there
    bool measured;      // a value was typed in
    double measuredMa;
    double errorPercent;  // (measured - expected) / span * 100
    bool pass;            // |error| within the tolerance
};

enum { kLoopPointCount = 5 };

// The output's current span: 13 is 0-20 mA, 14 is 4-20 mA; false for any other code.
bool OutputSpanMa(int outputType, double* lowMa, double* highMa);
// The five points; measured holds 0 or 5 values (in mA). Empty for an unknown output type.
std::vector<LoopPoint> LoopCheck(int outputType, const std::vector<double>& measured, double tolerancePercent);
// True when every point was measured and passed.
bool LoopCheckPassed(const std::vector<LoopPoint>& points);
