// Whole-word number parsing with strtol, refusing trailing text and overflow.
#include "number_words.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace orvisim {

bool ParseNumber(const std::string& text, long* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    if (*digits == '\0' || (hex && !std::isxdigit(static_cast<unsigned char>(*digits)))) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(digits, &end, hex ? 16 : 10);
    return errno == 0 && *end == '\0';
}

std::string Ok(long value) { return "OK " + std::to_string(value); }

}  // namespace orvisim
