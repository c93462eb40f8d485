// Fuzz target: any orvi.ini contents through LoadCommSettings, then SaveCommSettings and a reload.
//
// Input: one byte saying which of the keys are present, then the values of Address, Port and Baud
// separated by newlines (a settings line cannot hold one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "comm_settings.h"
#include "memory_settings_store.h"

namespace {
const char* const kKeys[] = {"Address", "Port", "Baud"};

// The port name is used as a C string and formatted into the mode string: it must end inside its field.
void RequireShortTerminatedPortName() {
    if (std::memchr(commSettings.portName, '\0', sizeof commSettings.portName) == nullptr) std::abort();
    if (std::strlen(commSettings.portName) >= sizeof commSettings.portName) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    MemorySettingsStore store;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t start = 0;
    for (int key = 0; key < 3; ++key) {
        const size_t end = std::min(text.find('\n', start), text.size());
        if (data[0] & (1u << key))
            store.values[std::string("Communication/") + kKeys[key]] = text.substr(start, end - start);
        start = end < text.size() ? end + 1 : end;
    }
    UseSettingsStore(&store);
    std::memset(&commSettings, 0x7F, sizeof commSettings);
    if (LoadCommSettings() != 1) std::abort();
    RequireShortTerminatedPortName();
    if (commSettings.baudRate < 0) std::abort();

    // What was saved reads back as the same settings.
    const CommSettings loaded = commSettings;
    if (SaveCommSettings() != 1) std::abort();
    if (store.writeOrder.size() != 3) std::abort();
    std::memset(&commSettings, 0, sizeof commSettings);
    LoadCommSettings();
    RequireShortTerminatedPortName();
    if (std::strcmp(loaded.portName, commSettings.portName) != 0 || loaded.baudRate != commSettings.baudRate ||
        loaded.deviceAddress != commSettings.deviceAddress)
        std::abort();
    UseSettingsStore(nullptr);
    return 0;
}
