// Files as people's editors write them, and why a file could not be used, in Portuguese.
#pragma once
#include <string>

// The UTF-8 text of a file's bytes: a UTF-8 byte-order mark (Notepad writes one) is skipped; bytes that
// are not UTF-8 are read as Windows-1252, as older editors saved them. A UTF-16 file (with its mark, or
// ASCII with zero bytes between), and one that neither encoding reads whole (a byte 1252 leaves
// undefined, or UTF-8 letters beside bytes that are not UTF-8), is refused with the reason in problem:
// its text would come out changed.
bool DecodeFileText(const std::string& bytes, std::string* utf8, std::string* problem);

// The reason of a failed file operation (an errno value), in Portuguese.
std::string FileErrorText(int error);
