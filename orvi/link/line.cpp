// A line's device, and the configurator's one line.
#include "line.h"

#include "link_platform.h"

namespace {
class SystemClock : public LineClock {
public:
    uint64_t NowUs() override { return LinkClockUs(); }
    void DelayMs(uint32_t ms) override { ::DelayMs(ms); }
};

SystemClock systemClock;
// The only line of the program that lives at namespace scope: the configurator's.
Line configuratorLine;
}  // namespace

LineClock& SystemLineClock() { return systemClock; }

CommSettings& commSettings = configuratorLine.settings;

Line& ConfiguratorLine() { return configuratorLine; }

Line::Line(std::unique_ptr<SerialDevice> device, LineClock* clock)
    : ownDevice_(std::move(device)), madeWith_(ownDevice_.get()), clock_(clock) {}

SerialDevice& Line::Device() {
    if (device_) return *device_;
    return madeWith_ ? *madeWith_ : SystemSerialDevice();
}
