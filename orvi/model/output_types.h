// The output-type catalogue: the two current-output ranges, their register codes and list positions.
#pragma once
#include <cstdint>

enum { kOutput0To20mA = 13, kOutput4To20mA = 14, kOutputTypeCount = 2 };

struct OutputTypeEntry {
    int8_t code;
    const char* name;
};

extern const OutputTypeEntry OutputTypeCatalogue[kOutputTypeCount];  // in list order

// The name of code 13 or 14; nullptr for any other code, which then selects nothing.
const char* OutputTypeName(int code);

// The code at a list position; any other position (no selection included) keeps current.
int8_t OutputTypeFromPosition(int position, int8_t current);
