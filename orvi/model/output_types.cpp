// The output-type catalogue.
#include "output_types.h"

const OutputTypeEntry OutputTypeCatalogue[kOutputTypeCount] = {
    {kOutput0To20mA, "0 a 20mA"},
    {kOutput4To20mA, "4 a 20mA"},
};

const char* OutputTypeName(int code) {
    for (int position = 0; position < kOutputTypeCount; ++position) {
        if (OutputTypeCatalogue[position].code == code) return OutputTypeCatalogue[position].name;
    }
    return nullptr;
}

int8_t OutputTypeFromPosition(int position, int8_t current) {
    if (position < 0 || position >= kOutputTypeCount) return current;
    return OutputTypeCatalogue[position].code;
}
