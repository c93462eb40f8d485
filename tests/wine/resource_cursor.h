// Reads the little-endian fields of a compiled resource (words, strings, name-or-ordinal) safely.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A resource name or class as templates store it: a number, a string, or nothing.
struct ResourceName {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text;  // Windows-1252
    bool Empty() const { return !isOrdinal && text.empty(); }
};

// The UTF-16 text of a resource as the programs show it through the ANSI API (code page 1252);
// a character outside the code page becomes '?', so it never matches an expected text.
std::string Cp1252FromUtf16(const std::u16string& text);

// A read position in a resource's bytes. Reading past the end yields zeros and marks the cursor
// broken instead of reading out of bounds, so a truncated template fails the test, not the run.
class ResourceCursor {
public:
    ResourceCursor(const std::vector<uint8_t>& bytes, size_t begin = 0, size_t end = SIZE_MAX);

    uint16_t Word();
    uint32_t Dword();
    int16_t Short() { return static_cast<int16_t>(Word()); }
    uint8_t Byte();
    std::u16string Utf16();  // up to and past its terminating zero
    std::string Text() { return Cp1252FromUtf16(Utf16()); }
    ResourceName NameOrOrdinal();
    void Skip(size_t count);
    // Moves to the next multiple of 4 counted from the start of the resource.
    void AlignDword();
    void MoveTo(size_t offset);

    size_t Offset() const { return position_; }
    size_t End() const { return end_; }
    bool AtEnd() const { return position_ >= end_; }
    bool Broken() const { return broken_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t position_;
    size_t end_;
    bool broken_ = false;
};
