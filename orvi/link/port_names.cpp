// Serial port names: the COMn rule and the port lists' entries.
#include "port_names.h"

#include <algorithm>

namespace {
constexpr int kFixedPorts = 4;  // COM1..COM4 are offered whether present or not
}

int PortNumber(const char* name) {
    if (name == nullptr) return 0;
    for (int i = 0; i < 3; ++i)
        if ((name[i] & ~0x20) != "COM"[i]) return 0;
    const char* digits = name + 3;
    if (*digits < '1' || *digits > '9') return 0;
    int number = 0;
    for (; *digits >= '0' && *digits <= '9'; ++digits) {
        number = number * 10 + (*digits - '0');
        if (number > kHighestPortNumber) return 0;
    }
    return *digits == '\0' ? number : 0;
}

std::vector<std::string> PortListNames(const std::vector<std::string>& present) {
    std::vector<int> others;
    for (const std::string& name : present) {
        const int number = PortNumber(name.c_str());
        if (number > kFixedPorts) others.push_back(number);
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());

    std::vector<std::string> names = {"None"};
    for (int number = 1; number <= kFixedPorts; ++number) names.push_back("COM" + std::to_string(number));
    for (int number : others) names.push_back("COM" + std::to_string(number));
    return names;
}
