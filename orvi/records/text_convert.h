// The programs' texts are CP1252 bytes; files, the journal and the report are UTF-8.
#pragma once
#include <string>

std::string Cp1252ToUtf8(const std::string& text);
// Text from outside (a file, a command line) into CP1252; characters it lacks become '?'.
std::string Utf8ToCp1252(const std::string& text);
// The text with each byte that is not part of well-formed UTF-8 replaced by U+FFFD.
std::string RepairedUtf8(const std::string& text);

// printf into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A whole decimal number within [low, high], blanks around it allowed; nothing else.
bool ParseWholeNumber(const std::string& text, long low, long high, long* value);
