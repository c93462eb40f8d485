// The host side of the link: port name, baud rate and device address, kept in orvi.ini.
#pragma once
#include <cstdint>

struct CommSettings {
    char portName[5];       // COM1..COM4, or "None" after a failed OpenPort
    int32_t baudRate;       // 1200, 2400, 4800, 9600 or 19200
    uint8_t deviceAddress;  // byte 0 of every request
};

extern CommSettings commSettings;

// Both always return 1: a missing or unwritable file falls back to the defaults.
int LoadCommSettings();
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
void UseSettingsStore(SettingsStore* store);  // nullptr restores the system store

// The decimal digits at the start of text, wrapping modulo 2^32; false when there are none.
bool ParseLeadingNumber(const char* text, uint32_t* value);
