// A look at every frame the link puts on the line and every byte it reads back, for a frame dump.
#pragma once
#include <cstddef>
#include <cstdint>

enum class FrameDirection { Sent, Received };

// bytes/count: the request as written, or what arrived for a reply (count 0: nothing came).
typedef void (*FrameObserver)(FrameDirection direction, const uint8_t* bytes, size_t count);

// nullptr (the default) turns the look off.
void SetFrameObserver(FrameObserver observer);
void ObserveFrame(FrameDirection direction, const uint8_t* bytes, size_t count);

// The same look at the bytes a network connection carries, their framing included (MBAP headers,
// Telnet commands and escapes): what was sent, and each piece as it arrived.
void SetNetworkObserver(FrameObserver observer);
void ObserveNetwork(FrameDirection direction, const uint8_t* bytes, size_t count);
