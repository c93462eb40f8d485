// The configurator line's frame observer.
#include "frame_observer.h"

#include "line.h"

void SetFrameObserver(FrameObserver observer) { ConfiguratorLine().frameObserver = std::move(observer); }
