// What the native test build puts in place of the Win32 platform services.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "scripted_serial_device.h"

ScriptedSerialDevice& TestDevice();       // the device the link uses in native tests
MemorySettingsStore& TestSettings();      // the settings file the link uses in native tests
std::vector<std::string>& PortNotices();  // texts shown by the fallback notice
void ResetNativePlatform();
void OnNextDelay(std::function<void()> hook);  // runs once inside the next DelayMs, as a mouse message would // fresh
                                               // device, settings, notices and CommSettings
// The link's clock and waits on real time until the next ResetNativePlatform, for tests whose
// other end is real (a TCP server in another thread) rather than the scripted device's fake clock.
void UseRealTime();
