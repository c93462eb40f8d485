// Loading and storing CommSettings in the "Communication" section of orvi.ini.
#include "comm_settings.h"

#include <cstdio>
#include <cstring>

CommSettings commSettings;

namespace {
const char kSection[] = "Communication";
SettingsStore* activeStore = nullptr;

SettingsStore& Store() { return activeStore ? *activeStore : SystemSettingsStore(); }

// A key's number, or the default when the key is absent or holds no leading digits.
uint32_t ReadNumber(const char* key, uint32_t defaultValue) {
    char text[64];
    uint32_t value = 0;
    if (!Store().Read(kSection, key, text, sizeof text)) return defaultValue;
    return ParseLeadingNumber(text, &value) ? value : defaultValue;
}
}  // namespace

void UseSettingsStore(SettingsStore* store) { activeStore = store; }

bool ParseLeadingNumber(const char* text, uint32_t* value) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text < '0' || *text > '9') return false;
    uint32_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) number = number * 10u + static_cast<uint32_t>(*text - '0');
    *value = number;
    return true;
}

int LoadCommSettings() {
    // Only the low eight bits of the address count, as the device field is one byte.
    commSettings.deviceAddress = static_cast<uint8_t>(ReadNumber("Address", 1) & 0xFFu);

    char port[64];
    if (!Store().Read(kSection, "Port", port, sizeof port)) std::strcpy(port, "COM1");
    std::memset(commSettings.portName, 0, sizeof commSettings.portName);
    std::memcpy(commSettings.portName, port, strnlen(port, sizeof commSettings.portName - 1));

    // A number beyond the signed range is no baud rate at all; the line then runs at 19200.
    uint32_t baud = ReadNumber("Baud", 9600);
    commSettings.baudRate = baud > 0x7FFFFFFFu ? 0 : static_cast<int32_t>(baud);
    return 1;
}

int SaveCommSettings() {
    char number[16];
    std::snprintf(number, sizeof number, "%d", commSettings.deviceAddress);
    bool written = Store().Write(kSection, "Address", number);
    written = Store().Write(kSection, "Port", commSettings.portName) && written;
    std::snprintf(number, sizeof number, "%d", static_cast<int>(commSettings.baudRate));
    written = Store().Write(kSection, "Baud", number) && written;
    return written ? 1 : 0;
}
