// Entry point of Configurador.exe: the window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "launcher_dialogs.h"
#include "launcher_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand) {
    launcherInstance = instance;
    // Version 6 of the controls (the manifest asks for it) draws the buttons of the About box.
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (previousInstance != nullptr) return 0;
    if (!RegisterLauncherClass()) return 1;
    HWND window = CreateLauncherWindow();
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
