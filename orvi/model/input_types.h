// The input-type catalogue: names and sensor limits of each code in °C and °F, and the rules a code implies.
#pragma once
#include <cstdint>

enum {
    kInputTypeCount = 19,
    kInputTypeNameLength = 38,  // every name is padded with blanks to this length
    kInputTypeNameSlot = 40,
};

struct LimitPair {
    int16_t low;
    int16_t high;
};

struct InputTypeTables {
    char celsiusNames[kInputTypeCount][kInputTypeNameSlot];
    char fahrenheitNames[kInputTypeCount][kInputTypeNameSlot];
    LimitPair celsiusLimits[kInputTypeCount];
    LimitPair fahrenheitLimits[kInputTypeCount];
};

extern const InputTypeTables InputTypeCatalogue;

// A device may report codes outside the catalogue; only these codes may index it.
bool IsKnownInputType(int code);

// The °C name when unit is 0, otherwise the °F name; nullptr for a code outside the catalogue.
const char* InputTypeName(int code, int32_t unit);

// The °C pair when unit is 0, otherwise the °F pair. A code outside the catalogue has no sensor
// limits, so it gets the whole 16-bit range and only the fields' order can be checked.
LimitPair SensorLimits(int code, int32_t unit);

bool IsLinearInput(int code);  // no temperature unit
bool IsTenthsInput(int code);  // temperatures in tenths of a degree
