// The settings store on POSIX: no orvi.ini, so every key is absent and the defaults serve.
#include "comm_settings.h"

namespace {
class NoSettingsStore : public SettingsStore {
public:
    bool Read(const char*, const char*, char*, unsigned) override { return false; }
    bool Write(const char*, const char*, const char*) override { return false; }
};
}  // namespace

SettingsStore& SystemSettingsStore() {
    static NoSettingsStore store;
    return store;
}
