// The frame dump of --verbose.
#include "frame_dump.h"

#include "text_output.h"

std::string FrameDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count) {
    std::string line = time + (direction == FrameDirection::Sent ? " ->" : " <-");
    if (count == 0) return line + " (nada)\n";
    for (size_t i = 0; i < count; ++i) line += Format(" %02X", bytes[i]);
    return line + "\n";
}
