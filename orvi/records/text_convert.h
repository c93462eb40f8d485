// The records and orvictl hold text as UTF-8; the configurator's own texts are CP1252 bytes, for its windows.
#pragma once
#include <string>

// A fixed text of the configurator's code (a link error, a catalogue name, a page's message), which is
// CP1252, as the UTF-8 the records and orvictl hold. Where such a text comes in, it goes through here.
std::string FixedText(const std::string& cp1252);

std::string Cp1252ToUtf8(const std::string& text);
// UTF-8 for the configurator's CP1252 windows and messages; characters the code page lacks become '?'.
std::string Utf8ToCp1252(const std::string& text);
// The text with each byte that is not part of well-formed UTF-8 replaced by U+FFFD.
std::string RepairedUtf8(const std::string& text);
bool IsUtf8(const std::string& text);
// Whether text holds a well-formed UTF-8 sequence of more than one byte (a letter beyond ASCII).
bool HoldsUtf8Letter(const std::string& text);
// Whether text holds a byte that code page 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool HoldsUndefinedCp1252(const std::string& text);

// A UTF-8 text padded with blanks to width characters, for columns (printf's %-*s counts bytes).
std::string PadRight(const std::string& utf8, size_t width);

// printf into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A whole decimal number within [low, high], blanks around it allowed; nothing else.
bool ParseWholeNumber(const std::string& text, long low, long high, long* value);
