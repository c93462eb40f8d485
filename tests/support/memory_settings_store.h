// An in-memory settings file for tests, keyed by section and key.
#pragma once
#include <map>
#include <vector>
#include <string>

#include "comm_settings.h"

class MemorySettingsStore : public SettingsStore {
public:
    std::map<std::string, std::string> values;  // "Section/Key" -> value
    bool readOnly = false;
    std::vector<std::string> writeOrder;

    bool Read(const char* section, const char* key, char* buffer, unsigned size) override;
    bool Write(const char* section, const char* key, const char* value) override;
};
