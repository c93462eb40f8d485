// The in-memory settings file used by native tests.
#include "memory_settings_store.h"

#include <cstring>

bool MemorySettingsStore::Read(const char* section, const char* key, char* buffer, unsigned size) {
    auto it = values.find(std::string(section) + "/" + key);
    if (it == values.end() || size == 0) return false;
    std::strncpy(buffer, it->second.c_str(), size - 1);
    buffer[size - 1] = '\0';
    return true;
}

bool MemorySettingsStore::Write(const char* section, const char* key, const char* value) {
    writeOrder.push_back(key);
    if (readOnly) return false;
    values[std::string(section) + "/" + key] = value;
    return true;
}
