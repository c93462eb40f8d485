// Native stand-ins for the Win32 services of the link: device, settings file, wait and notice.
#include "native_platform.h"
#include "line.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "comm_settings.h"
#include "link_platform.h"
#include "rtu_frame.h"
#include "serial_port.h"

namespace {
std::unique_ptr<ScriptedSerialDevice> device(new ScriptedSerialDevice);
std::unique_ptr<MemorySettingsStore> settings(new MemorySettingsStore);
std::vector<std::string> notices;
std::function<void()> delayHook;
bool realTime = false;

uint64_t RealClockUs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}
}  // namespace

SerialDevice& SystemSerialDevice() { return *device; }
std::unique_ptr<SerialDevice> NewSerialDevice() { return std::unique_ptr<SerialDevice>(new ScriptedSerialDevice); }
SettingsStore& SystemSettingsStore() { return *settings; }
ScriptedSerialDevice& TestDevice() { return *device; }
MemorySettingsStore& TestSettings() { return *settings; }
std::vector<std::string>& PortNotices() { return notices; }

uint64_t LinkClockUs() { return realTime ? RealClockUs() : device->nowUs; }

// The wait moves the fake clock; the hook stands for a mouse message dispatched meanwhile.
void DelayMs(uint32_t ms) {
    if (realTime) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    device->events.push_back("delay " + std::to_string(ms));
    device->nowUs += static_cast<uint64_t>(ms) * 1000u;
    if (delayHook) {
        std::function<void()> hook;
        hook.swap(delayHook);
        hook();
    }
}

void OnNextDelay(std::function<void()> hook) { delayHook = std::move(hook); }

void ShowPortNotice(const char* text, const char* caption) { notices.push_back(std::string(caption) + ": " + text); }

void UseRealTime() { realTime = true; }

void ResetNativePlatform() {
    realTime = false;
    device.reset(new ScriptedSerialDevice);
    settings.reset(new MemorySettingsStore);
    notices.clear();
    delayHook = nullptr;
    UseSerialDevice(nullptr);
    UseSettingsStore(nullptr);
    ConfiguratorLine().acceptAnyAddress = false;
    std::memset(&commSettings, 0, sizeof commSettings);
    std::strcpy(commSettings.portName, "COM1");
    commSettings.baudRate = 9600;
    commSettings.deviceAddress = 1;
}
