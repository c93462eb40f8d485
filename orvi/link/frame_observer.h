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
