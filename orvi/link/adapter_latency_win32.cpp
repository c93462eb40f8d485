// The FTDI driver keeps its latency timer as LatencyTimer among the port's device parameters (the
// device's hardware key); SetupAPI finds the key of the port whose PortName is ours.
#include "adapter_latency_win32.h"

#include <windows.h>
// clang-format off
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on
#include <cstdio>

namespace {
bool ReadValue(HKEY key, const wchar_t* name, DWORD type, void* data, DWORD size) {
    DWORD got = size;
    DWORD gotType = 0;
    return RegQueryValueExW(key, name, nullptr, &gotType, static_cast<BYTE*>(data), &got) == ERROR_SUCCESS &&
           gotType == type;
}

// The port's name as the registry keeps it (COM ports are ASCII names).
bool SamePort(HKEY key, const char* portName) {
    wchar_t name[32] = {};
    if (!ReadValue(key, L"PortName", REG_SZ, name, sizeof name - sizeof(wchar_t))) return false;
    wchar_t wanted[32] = {};
    MultiByteToWideChar(CP_ACP, 0, portName, -1, wanted, 31);
    return lstrcmpiW(name, wanted) == 0;
}
}  // namespace

int32_t AdapterLatencyTimerMs(const char* portName, char* how, size_t room) {
    HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return -1;
    int32_t latency = -1;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    for (DWORD index = 0; latency < 0 && SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        DWORD value = 0;
        if (SamePort(key, portName) && ReadValue(key, L"LatencyTimer", REG_DWORD, &value, sizeof value))
            latency = static_cast<int32_t>(value);
        RegCloseKey(key);
    }
    SetupDiDestroyDeviceInfoList(devices);
    if (latency >= 0 && how && room)
        std::snprintf(how, room,
                      "Gerenciador de Dispositivos, %s, Propriedades, Configurações da Porta, Avançado: "
                      "Timer de latência 1 ms",
                      portName);
    return latency;
}
