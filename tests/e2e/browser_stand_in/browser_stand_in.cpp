// Registered as the system's browser during the help tests: hands its command line to the driver's
// window instead of showing anything.
#include <windows.h>

#include "../driver_help_viewer.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    HWND driver = FindWindowW(kBrowserStandInClassW, nullptr);
    if (driver == nullptr) return 1;
    COPYDATASTRUCT copy = {};
    copy.dwData = kBrowserStandInTag;
    copy.cbData = static_cast<DWORD>((lstrlenW(arguments) + 1) * sizeof(wchar_t));
    copy.lpData = arguments;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(driver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 10000, &result);
    return 0;
}
