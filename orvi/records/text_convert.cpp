// Converting between the configurator's CP1252 texts and UTF-8, and formatting messages.
#include "text_convert.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
// Unicode of CP1252 bytes 0x80..0x9F (0 where the code page defines nothing); the rest is Latin-1.
const unsigned short kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char ToCp1252(unsigned code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == code && code != 0) return static_cast<char>(0x80 + i);
    return '?';
}
}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (unsigned char c : text) {
        if (c >= 0x80 && c < 0xA0)
            AppendUtf8(out, kHighControls[c - 0x80] ? kHighControls[c - 0x80] : 0xFFFD);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string FixedText(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && c < 0xC0) extra = -1;  // a stray continuation byte
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            out += '?';
            ++i;
            continue;
        }
        unsigned code = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        out += valid ? ToCp1252(code) : '?';
        i += valid ? static_cast<size_t>(extra) + 1 : 1;
    }
    return out;
}

namespace {
// The length of the well-formed UTF-8 sequence at text[at] (Unicode's table 3-7: no overlong forms,
// no surrogates, nothing past U+10FFFF); 0 when there is none.
size_t WellFormedLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t k) { return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0u; };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    return length;
}
}  // namespace

std::string RepairedUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = WellFormedLength(text, i);
        if (length == 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

bool IsUtf8(const std::string& text) {
    for (size_t i = 0, length = 0; i < text.size(); i += length)
        if ((length = WellFormedLength(text, i)) == 0) return false;
    return true;
}

bool HoldsUtf8Letter(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (WellFormedLength(text, i) > 1) return true;
    return false;
}

bool HoldsUndefinedCp1252(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80 && c < 0xA0 && kHighControls[c - 0x80] == 0) return true;
    return false;
}

std::string PadRight(const std::string& utf8, size_t width) {
    size_t characters = 0;
    for (const char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    return utf8 + std::string(characters < width ? width - characters : 0, ' ');
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    return std::string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

bool ParseWholeNumber(const std::string& text, long low, long high, long* value) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const std::string core = text.substr(begin, end - begin + 1);
    size_t digits = (core[0] == '-' || core[0] == '+') ? 1 : 0;
    if (digits >= core.size()) return false;
    for (size_t i = digits; i < core.size(); ++i)
        if (core[i] < '0' || core[i] > '9') return false;
    if (core.size() - digits > 9) return false;  // far beyond every range here, and no overflow
    const long parsed = std::strtol(core.c_str(), nullptr, 10);
    if (parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}
