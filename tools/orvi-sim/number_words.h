// Numbers in control commands and their replies.
#pragma once

#include <string>

namespace orvisim {

// A whole word as a number: signed decimal or 0x hexadecimal.
bool ParseNumber(const std::string& text, long* value);
// "OK value".
std::string Ok(long value);

}  // namespace orvisim
