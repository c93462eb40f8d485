// Launcher folders, start, and reading its menu from the screen (menus cannot be queried across processes).
#include "driver_launcher.h"

#include "driver_paths.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"

namespace {

// Black menu text marks an enabled entry.
bool IsDark(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) < 0x50 && ((pixel >> 8) & 0xFF) < 0x50 && (pixel & 0xFF) < 0x50;
}

// Greyed text is a neutral mid grey, on the plain background and on the highlight alike; the white text of
// a highlighted enabled entry is neither dark nor grey.
bool IsMidGrey(uint32_t pixel) {
    const int red = (pixel >> 16) & 0xFF;
    const int green = (pixel >> 8) & 0xFF;
    const int blue = pixel & 0xFF;
    const auto similar = [](int a, int b) { return a - b < 16 && b - a < 16; };
    return similar(red, green) && similar(green, blue) && red >= 0x60 && red <= 0xB0;
}

void DeleteFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") DeleteFileA((folder + "\\" + name).c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string PrepareLauncherFolder(const std::string& name, const std::vector<std::string>& files) {
    const std::string folder = ScratchFolder() + "\\" + name;
    DeleteFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(LauncherProgram().c_str(), (folder + "\\Configurador.exe").c_str(), FALSE);
    for (const std::string& file : files) CopyFileA(OrviProgram().c_str(), (folder + "\\" + file).c_str(), FALSE);
    return folder;
}

DriverProcess StartLauncher(const std::string& folder, const std::string& workingFolder) {
    return DriverProcess::Start(CommandLine(folder + "\\Configurador.exe", ""),
                                workingFolder.empty() ? folder : workingFolder);
}

HWND WaitForLauncherWindow(DWORD processId) {
    return WaitForTopLevel(processId, "Configurador", "Configurador Tavelo", true);
}

HWND OpenToolsMenu(HWND launcherWindow) { return OpenMenuByKey(launcherWindow, 'f'); }

void CloseMenus(HWND launcherWindow) {
    PostMessageA(launcherWindow, WM_CANCELMODE, 0, 0);
    DWORD processId = 0;
    GetWindowThreadProcessId(launcherWindow, &processId);
    WaitFor([&] { return FindTopLevel(processId, "#32768", nullptr, true) == nullptr; });
}

std::vector<bool> GreyedEntries(HWND popup, size_t entryCount) {
    std::vector<bool> greyed;
    const ScreenImage image = CaptureWindow(popup);
    RECT window = {};
    RECT client = {};
    GetWindowRect(popup, &window);
    GetClientRect(popup, &client);
    POINT origin = {0, 0};
    ClientToScreen(popup, &origin);
    const int left = origin.x - window.left;
    const int top = origin.y - window.top;
    if (image.width == 0 || entryCount == 0 || client.bottom <= 0) return greyed;
    // The popup draws its grey frame inside its client area: leave a margin out.
    const int margin = 3;
    const int height = client.bottom - 2 * margin;
    const int band = height / static_cast<int>(entryCount);
    for (size_t entry = 0; entry < entryCount; ++entry) {
        bool dark = false;
        bool grey = false;
        const int firstRow = top + margin + static_cast<int>(entry) * band;
        for (int y = firstRow; y < firstRow + band; ++y)
            for (int x = left + margin; x < left + client.right - margin; ++x) {
                dark = dark || IsDark(image.At(x, y));
                grey = grey || IsMidGrey(image.At(x, y));
            }
        greyed.push_back(grey && !dark);
    }
    return greyed;
}
