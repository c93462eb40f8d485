// Reading typed numbers into 16-bit fields without wrapping.
#include "edit_numbers.h"
#include "int16_range.h"

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Parses sign and digits at *text, advancing it; the magnitude saturates instead of overflowing.
bool ReadSignedDigits(const char*& text, int32_t* value) {
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    if (*text < '0' || *text > '9') return false;
    int32_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (magnitude <= INT16_MAX + 1) magnitude = magnitude * 10 + (*text - '0');
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

int16_t ParseDialogInt16(const char* text) {
    while (IsSpace(*text)) ++text;
    int32_t value = 0;
    if (!ReadSignedDigits(text, &value)) return 0;
    while (IsSpace(*text)) ++text;
    return *text == '\0' ? SaturateToInt16(value) : 0;
}

int16_t ParseLeadingInt16(const char* text) {
    while (IsSpace(*text)) ++text;
    int32_t value = 0;
    return ReadSignedDigits(text, &value) ? SaturateToInt16(value) : 0;
}
