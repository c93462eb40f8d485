// orvi.ini through the Win32 private-profile API (kept in the Windows directory).
#include <windows.h>

#include "comm_settings.h"

namespace {
const char kFileName[] = "orvi.ini";

class ProfileSettingsStore : public SettingsStore {
public:
    bool Read(const char* section, const char* key, char* buffer, unsigned size) override {
        // A default no real value can hold tells an absent key from an empty one.
        static const char kAbsent[] = "\x01";
        GetPrivateProfileStringA(section, key, kAbsent, buffer, size, kFileName);
        return !(buffer[0] == kAbsent[0] && buffer[1] == '\0');
    }
    bool Write(const char* section, const char* key, const char* value) override {
        return WritePrivateProfileStringA(section, key, value, kFileName) != 0;
    }
};
}  // namespace

SettingsStore& SystemSettingsStore() {
    static ProfileSettingsStore store;
    return store;
}
