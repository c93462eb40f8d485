// Reading the numbers the user types into the Input/Output page's edits.
#pragma once
#include <cstdint>

// The whole text as a signed integer, blanks around it allowed; any other text reads as 0.
// A number beyond 16 bits sticks at the nearest bound, so it cannot wrap into a plausible value.
int16_t ParseDialogInt16(const char* text);

// The leading number only (leading white space, a sign, digits up to the first other character;
// no digits read as 0), bounded to 16 bits in the same way.
int16_t ParseLeadingInt16(const char* text);
