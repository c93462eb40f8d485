// Escaping for HTML and numbers with a decimal comma.
#include "html_text.h"

#include <cstdio>

std::string HtmlEscape(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string DecimalComma(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    // -0,00 reads as a fault on a calibration sheet: a value that rounds to zero has no sign.
    if (out[0] == '-' && out.find_first_not_of("0.", 1) == std::string::npos) out.erase(0, 1);
    for (char& c : out)
        if (c == '.') c = ',';
    return out;
}
