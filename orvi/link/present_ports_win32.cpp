// The serial ports present, as their drivers publish them under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM.
#include <windows.h>

#include "present_ports.h"

std::vector<std::string> PresentPortNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = sizeof valueName / sizeof valueName[0];
        wchar_t data[64] = {};
        DWORD dataBytes = sizeof data - sizeof data[0];  // room left for a terminator the data may lack
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || type != REG_SZ) continue;  // too long for a port name, or no text
        std::string name;
        for (const wchar_t* c = data; *c != L'\0' && c < data + dataBytes / sizeof data[0]; ++c) {
            if (*c > 0x7F) {
                name.clear();
                break;
            }  // a port name is plain ASCII
            name += static_cast<char>(*c);
        }
        if (!name.empty()) names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}
