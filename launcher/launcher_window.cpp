// Procedure of the launcher's window: greying of missing programs, the starts, About and exit.
#include "launcher_window.h"

#include <cstring>

#include "launcher_dialogs.h"
#include "launcher_ids.h"
#include "launcher_programs.h"
#include "program_folder.h"
#include "ui_text.h"

namespace {

constexpr int kToolsPopup = 1;  // "&Ferramentas"

void GreyMissingPrograms(HWND window) {
    HMENU tools = GetSubMenu(GetMenu(window), kToolsPopup);
    for (size_t i = 0; i < kCheckedProgramCount; ++i) {
        if (!ProgramFileExists(kCheckedPrograms[i].fileName))
            EnableMenuItem(tools, kCheckedPrograms[i].toolsMenuPosition, MF_BYPOSITION | MF_GRAYED);
    }
}

// Runs a menu command; false when it is none that the launcher handles.
bool OnMenuCommand(HWND window, WPARAM command) {
    if (command == IDM_LAUNCHER_ABOUT) {
        RunDialog("Sobre", window, AboutBoxProc);
        return true;
    }
    if (command == IDM_LAUNCHER_EXIT) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    }
    if (command > 0xFFFF) return false;
    const char* commandLine = CommandLineForMenu(static_cast<unsigned>(command));
    if (commandLine == nullptr) return false;
    // The launcher does not wait for what it starts, but says when a start fails.
    if (!StartProgram(commandLine)) {
        char program[64];
        lstrcpynA(program, commandLine, sizeof program);
        if (char* space = std::strchr(program, ' ')) *space = '\0';
        const std::string message = std::string("Não foi possível iniciar ") + program + "!";
        ShowMessage(window, message.c_str(), "Erro", MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

LRESULT CALLBACK LauncherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: GreyMissingPrograms(window); return 0;
    case WM_COMMAND:
        if (OnMenuCommand(window, wParam)) return 0;
        break;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterLauncherClass() {
    // A Unicode class: the window and the dialogs it owns take the wide texts as they are.
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = LauncherWindowProc;
    windowClass.hInstance = launcherInstance;
    windowClass.hIcon = LoadIconW(launcherInstance, L"Configurador");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = L"Menu";
    windowClass.lpszClassName = L"Configurador";
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateLauncherWindow() {
    launcherWindow = CreateWindowExW(0, L"Configurador", WideFrom1252("Configurador Tavelo").c_str(),
                                     WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     nullptr, nullptr, launcherInstance, nullptr);
    return launcherWindow;
}
