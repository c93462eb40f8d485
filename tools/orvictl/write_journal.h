// orvictl's record of its writes: every register or private write the link makes becomes one journal line.
#pragma once
#include <cstdint>
#include <string>

// The measuring point named by the file being loaded (CP1252); kept for the lines that follow.
void JournalSetTag(const std::string& tag);
// The value a register held before the write about to be made, when the command knows it better
// than the configuration last read (used once, by the next write of that register).
void JournalNoteBefore(int8_t reg, int16_t before);
