// A look at every frame the link puts on the line and every byte it reads back, for a frame dump.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

enum class FrameDirection { Sent, Received };

// bytes/count: the request as written, or what arrived for a reply (count 0: nothing came).
typedef std::function<void(FrameDirection direction, const uint8_t* bytes, size_t count)> FrameObserver;

// The configurator line's look (a line's frameObserver); nullptr (the default) turns it off. A
// network device has a look of its own at the bytes its connection carries (TcpSerialDevice).
void SetFrameObserver(FrameObserver observer);
