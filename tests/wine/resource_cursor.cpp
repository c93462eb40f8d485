// Field reader for compiled resources, bounded by the resource's size.
#include "resource_cursor.h"
#include <windows.h>

std::string Cp1252FromUtf16(const std::u16string& text) {
    if (text.empty()) return std::string();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    int length = static_cast<int>(text.size());
    std::string narrow(text.size() * 2, '\0');
    int written = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide, length, &narrow[0],
                                      static_cast<int>(narrow.size()), "?", NULL);
    narrow.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return narrow;
}

ResourceCursor::ResourceCursor(const std::vector<uint8_t>& bytes, size_t begin, size_t end)
    : bytes_(bytes), position_(begin), end_(end < bytes.size() ? end : bytes.size()) {
    if (begin > end_) {
        position_ = end_;
        broken_ = true;
    }
}

uint8_t ResourceCursor::Byte() {
    if (position_ + 1 > end_) {
        broken_ = true;
        position_ = end_;
        return 0;
    }
    return bytes_[position_++];
}

uint16_t ResourceCursor::Word() {
    uint16_t low = Byte();
    uint16_t high = Byte();
    return static_cast<uint16_t>(low | (high << 8));
}

uint32_t ResourceCursor::Dword() {
    uint32_t low = Word();
    uint32_t high = Word();
    return low | (high << 16);
}

std::u16string ResourceCursor::Utf16() {
    std::u16string text;
    while (!broken_) {
        char16_t unit = static_cast<char16_t>(Word());
        if (unit == 0 || broken_) break;
        text.push_back(unit);
    }
    return text;
}

ResourceName ResourceCursor::NameOrOrdinal() {
    ResourceName name;
    size_t start = position_;
    uint16_t first = Word();
    if (first == 0xFFFF) {
        name.isOrdinal = true;
        name.ordinal = Word();
    } else if (first != 0) {
        position_ = start;
        name.text = Text();
    }
    return name;
}

void ResourceCursor::Skip(size_t count) {
    if (count > end_ - position_) {
        broken_ = true;
        position_ = end_;
        return;
    }
    position_ += count;
}

void ResourceCursor::AlignDword() {
    size_t aligned = (position_ + 3) & ~static_cast<size_t>(3);
    // Padding at the very end of a resource may be missing; that is not an error.
    position_ = aligned < end_ ? aligned : end_;
}

void ResourceCursor::MoveTo(size_t offset) {
    if (offset > end_) {
        broken_ = true;
        offset = end_;
    }
    position_ = offset;
}
