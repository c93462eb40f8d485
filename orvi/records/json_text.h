// The little JSON the records need: string literals out, flat objects of strings, numbers and null in.
#pragma once
#include <map>
#include <string>

// A JSON string literal of a UTF-8 text (quotes included); control characters escaped.
std::string JsonQuote(const std::string& utf8);

// A JSON value of a flat object: a string (unescaped, UTF-8), a number (its text) or null.
struct JsonValue {
    enum Kind { kString, kNumber, kNull } kind = kNull;
    std::string text;
};
// One object of string, number or null members; false for anything else (nesting, bad escapes,
// trailing text).
bool ParseFlatJsonObject(const std::string& text, std::map<std::string, JsonValue>* members);
