// --verbose: every frame on the line, and every piece on a network connection, one line each on standard error.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "frame_observer.h"

// "15:00:00.123 -> 01 03 00 08 00 01 05 C8" for a request, "<-" for what arrived ("<- (nada)" when nothing did).
std::string FrameDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count);
// "15:00:00.123 rede -> 00 01 00 00 00 06 01 03 00 08 00 01": the bytes a network connection
// carried, framing included; a long piece shows its first bytes and how many more it had.
std::string NetworkDumpLine(const std::string& time, FrameDirection direction, const uint8_t* bytes, size_t count);

// The two lines above, with the time now, on standard error.
void DumpFrame(FrameDirection direction, const uint8_t* bytes, size_t count);
void DumpNetwork(FrameDirection direction, const uint8_t* bytes, size_t count);
