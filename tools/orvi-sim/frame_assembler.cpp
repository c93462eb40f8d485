// Frame boundaries by length and CRC, with the silence gap clearing leftovers.
#include "frame_assembler.h"

#include <algorithm>

#include "crc16.h"

namespace orvisim {

int FrameGapMs(int lineSpeed) {
    if (lineSpeed <= 0) return 2;
    const int gap = (35 * 1000 + lineSpeed - 1) / lineSpeed;  // 3.5 characters of 10 bits
    return gap < 2 ? 2 : gap;
}

std::vector<HeardFrame> FrameAssembler::Add(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs) {
    buffer_.insert(buffer_.end(), data, data + size);
    arrivedMs_.insert(arrivedMs_.end(), size, nowMs);
    std::vector<HeardFrame> frames;
    std::size_t start = 0;
    while (buffer_.size() - start >= 8) {
        if (HasValidCrc(buffer_.data() + start, 8)) {
            HeardFrame frame{{}, arrivedMs_[start]};
            std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(start), 8, frame.bytes.begin());
            frames.push_back(frame);
            start += 8;
        } else {
            ++start;
        }
    }
    // Bytes tried as a frame start and failed are garbage; at most 7 stay, waiting for more.
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
    arrivedMs_.erase(arrivedMs_.begin(), arrivedMs_.begin() + static_cast<std::ptrdiff_t>(start));
    return frames;
}

std::size_t FrameAssembler::Flush() {
    const std::size_t dropped = buffer_.size();
    buffer_.clear();
    arrivedMs_.clear();
    return dropped;
}

}  // namespace orvisim
