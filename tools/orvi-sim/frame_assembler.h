// Cuts the bytes heard on the line into 8-byte request frames; anything else is dropped as garbage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvisim {

using RequestFrame = std::array<std::uint8_t, 8>;

// A frame and when its first byte came off the pseudo-terminal.
struct HeardFrame {
    RequestFrame bytes;
    std::uint64_t firstByteMs;
};

// Silence that ends a frame: 3.5 character times at the line speed, at least 2 ms.
int FrameGapMs(int lineSpeed);

class FrameAssembler {
public:
    // Adds bytes that arrived at nowMs; returns every frame they complete. Bytes ahead of a frame are dropped.
    std::vector<HeardFrame> Add(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs);
    // The line went quiet: whatever is left cannot become a frame. Returns how many bytes were dropped.
    std::size_t Flush();
    bool Pending() const { return !buffer_.empty(); }

private:
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint64_t> arrivedMs_;  // of each byte in buffer_
};

}  // namespace orvisim
