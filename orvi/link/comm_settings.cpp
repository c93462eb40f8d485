// Loading and storing CommSettings in the "Communication" section of orvi.ini.
#include "comm_settings.h"

#include <cstdio>
#include <cstring>

#include "line.h"

namespace {
const char kSection[] = "Communication";

SettingsStore& ConfiguratorStore() {
    SettingsStore* store = ConfiguratorLine().settingsStore;
    return store ? *store : SystemSettingsStore();
}

// A key's number, or the default when the key is absent or holds no leading digits.
uint32_t ReadNumber(SettingsStore& store, const char* key, uint32_t defaultValue) {
    char text[64];
    uint32_t value = 0;
    if (!store.Read(kSection, key, text, sizeof text)) return defaultValue;
    return ParseLeadingNumber(text, &value) ? value : defaultValue;
}
}  // namespace

void UseSettingsStore(SettingsStore* store) { ConfiguratorLine().settingsStore = store; }

bool ParseLeadingNumber(const char* text, uint32_t* value) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text < '0' || *text > '9') return false;
    uint32_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) number = number * 10u + static_cast<uint32_t>(*text - '0');
    *value = number;
    return true;
}

void LoadCommSettings(CommSettings& settings, SettingsStore& store) {
    // Only the low eight bits of the address count, as the device field is one byte.
    settings.deviceAddress = static_cast<uint8_t>(ReadNumber(store, "Address", 1) & 0xFFu);

    char port[64];
    if (!store.Read(kSection, "Port", port, sizeof port)) std::strcpy(port, "COM1");
    std::memset(settings.portName, 0, sizeof settings.portName);
    std::memcpy(settings.portName, port, strnlen(port, sizeof settings.portName - 1));

    // A number beyond the signed range is no baud rate at all; the line then runs at 19200.
    uint32_t baud = ReadNumber(store, "Baud", 9600);
    settings.baudRate = baud > 0x7FFFFFFFu ? 0 : static_cast<int32_t>(baud);
}

bool SaveCommSettings(const CommSettings& settings, SettingsStore& store) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", settings.deviceAddress);
    bool written = store.Write(kSection, "Address", number);
    written = store.Write(kSection, "Port", settings.portName) && written;
    std::snprintf(number, sizeof number, "%d", static_cast<int>(settings.baudRate));
    written = store.Write(kSection, "Baud", number) && written;
    return written;
}

int LoadCommSettings() {
    LoadCommSettings(commSettings, ConfiguratorStore());
    return 1;
}

int SaveCommSettings() { return SaveCommSettings(commSettings, ConfiguratorStore()) ? 1 : 0; }
