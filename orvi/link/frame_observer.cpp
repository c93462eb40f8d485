// The frame observer: one function pointer, called by the frame code when it is set.
#include "frame_observer.h"

namespace {
FrameObserver observer = nullptr;
}

void SetFrameObserver(FrameObserver next) { observer = next; }

void ObserveFrame(FrameDirection direction, const uint8_t* bytes, size_t count) {
    if (observer) observer(direction, bytes, count);
}
