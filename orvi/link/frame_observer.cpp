// The frame and network observers: one function pointer each, called when it is set.
#include "frame_observer.h"

namespace {
FrameObserver observer = nullptr;
FrameObserver networkObserver = nullptr;
}  // namespace

void SetFrameObserver(FrameObserver next) { observer = next; }

void ObserveFrame(FrameDirection direction, const uint8_t* bytes, size_t count) {
    if (observer) observer(direction, bytes, count);
}

void SetNetworkObserver(FrameObserver next) { networkObserver = next; }

void ObserveNetwork(FrameDirection direction, const uint8_t* bytes, size_t count) {
    if (networkObserver) networkObserver(direction, bytes, count);
}
