// The host side of the link: port name, baud rate and device address, kept in orvi.ini.
#pragma once
#include <cstdint>

struct CommSettings {
    // "None", COM1..COM255, or whatever the settings file held (kept whole up to 15 characters;
    // a name that is not COMn never opens).
    char portName[16];
    int32_t baudRate;       // 1200, 2400, 4800, 9600 or 19200
    uint8_t deviceAddress;  // byte 0 of every request
};

// The configurator's line's settings (ConfiguratorLine().settings).
extern CommSettings& commSettings;

class SettingsStore;
// Reads the three keys into settings; a missing key falls back to its default.
void LoadCommSettings(CommSettings& settings, SettingsStore& store);
// True when all three keys were written.
bool SaveCommSettings(const CommSettings& settings, SettingsStore& store);
// The same for the configurator's line and its store. A missing file falls back to the defaults: always 1.
int LoadCommSettings();
// 1 when all three keys were written, 0 when the file could not be written.
int SaveCommSettings();

// Storage of the three keys; the Win32 build uses the private-profile API, tests an in-memory twin.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Copies the value into buffer (cut to size - 1) and returns true, or returns false when absent.
    virtual bool Read(const char* section, const char* key, char* buffer, unsigned size) = 0;
    virtual bool Write(const char* section, const char* key, const char* value) = 0;
};

SettingsStore& SystemSettingsStore();
// The configurator line's store; nullptr restores the system store.
void UseSettingsStore(SettingsStore* store);

// The decimal digits at the start of text, wrapping modulo 2^32; false when there are none.
bool ParseLeadingNumber(const char* text, uint32_t* value);
