// Writing JSON string literals and reading flat JSON objects back.
#include "json_text.h"

#include <cstdio>
#include <cstdlib>

std::string JsonQuote(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

namespace {
struct Reader {
    const std::string& text;
    size_t at;

    void SkipBlanks() {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
    }
    bool Take(char c) {
        SkipBlanks();
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
};

void AppendUtf8(unsigned code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool ReadHex4(Reader& r, unsigned* code) {
    if (r.at + 4 > r.text.size()) return false;
    *code = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = r.text[r.at++];
        *code <<= 4;
        if (c >= '0' && c <= '9')
            *code |= static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            *code |= static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            *code |= static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
    }
    return true;
}

bool ReadString(Reader& r, std::string* out) {
    if (!r.Take('"')) return false;
    out->clear();
    while (r.at < r.text.size()) {
        const char c = r.text[r.at++];
        if (c == '"') return true;
        if (static_cast<unsigned char>(c) < 0x20) return false;
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (r.at >= r.text.size()) return false;
        const char e = r.text[r.at++];
        switch (e) {
        case '"': *out += '"'; break;
        case '\\': *out += '\\'; break;
        case '/': *out += '/'; break;
        case 'b': *out += '\b'; break;
        case 'f': *out += '\f'; break;
        case 'n': *out += '\n'; break;
        case 'r': *out += '\r'; break;
        case 't': *out += '\t'; break;
        case 'u': {
            unsigned code = 0;
            if (!ReadHex4(r, &code)) return false;
            if (code >= 0xD800 && code < 0xDC00) {
                unsigned low = 0;
                if (r.at + 2 > r.text.size() || r.text[r.at] != '\\' || r.text[r.at + 1] != 'u') return false;
                r.at += 2;
                if (!ReadHex4(r, &low) || low < 0xDC00 || low > 0xDFFF) return false;
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else if (code >= 0xDC00 && code <= 0xDFFF) {
                return false;
            }
            AppendUtf8(code, out);
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool ReadNumber(Reader& r, std::string* out) {
    r.SkipBlanks();
    const size_t start = r.at;
    if (r.at < r.text.size() && r.text[r.at] == '-') ++r.at;
    while (r.at < r.text.size() && std::string("0123456789.eE+-").find(r.text[r.at]) != std::string::npos) ++r.at;
    *out = r.text.substr(start, r.at - start);
    if (out->empty() || *out == "-") return false;
    char* end = nullptr;
    std::strtod(out->c_str(), &end);
    return end && *end == '\0';
}
}  // namespace

bool ParseFlatJsonObject(const std::string& text, std::map<std::string, JsonValue>* members) {
    Reader r{text, 0};
    members->clear();
    if (!r.Take('{')) return false;
    if (r.Take('}')) {
        r.SkipBlanks();
        return r.at == text.size();
    }
    for (;;) {
        std::string name;
        if (!ReadString(r, &name) || !r.Take(':')) return false;
        JsonValue value;
        r.SkipBlanks();
        if (r.at < text.size() && text[r.at] == '"') {
            value.kind = JsonValue::kString;
            if (!ReadString(r, &value.text)) return false;
        } else if (text.compare(r.at, 4, "null") == 0) {
            r.at += 4;
        } else {
            value.kind = JsonValue::kNumber;
            if (!ReadNumber(r, &value.text)) return false;
        }
        (*members)[name] = value;
        if (r.Take(',')) continue;
        if (!r.Take('}')) return false;
        r.SkipBlanks();
        return r.at == text.size();
    }
}
