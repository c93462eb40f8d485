// --verbose: every frame on the line, one line each on standard error.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "frame_observer.h"

// "15:00:00.123 -> 01 03 00 08 00 01 05 C8" for a request, "<-" for what arrived ("<- (nada)" when nothing did).
std::string FrameDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count);
