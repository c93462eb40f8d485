// Start-up of the configurator and the three run modes.
#include "shell/program_start.h"

#include <commctrl.h>

#include "link/comm_settings.h"
#include "link/serial_port.h"
#include "sheet/config_sheet.h"
#include "shell/main_window.h"
#include "shell/run_mode.h"
#include "shell/shell_messages.h"
#include "shell/shell_state.h"
#include "shell/stand_alone_search.h"

namespace {

int RunServiceMode(int showCommand) {
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int RunConfigurator(HINSTANCE instance, const char* commandTail, int showCommand) {
    // Before anything else: a second instance reads no settings and opens no port.
    if (HWND running = FindWindowA(kMainWindowClass, kMainWindowTitle)) {
        SetForegroundWindow(running);
        return 0;
    }
    programInstance = instance;
    programIcon = LoadIconA(instance, "Orvi");
    // The property sheet and its up-down controls are needed in every run mode, not only in the service mode.
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterMainWindowClass()) return 1;
    if (!CreateMainWindow()) return 1;

    switch (SelectRunMode(commandTail)) {
    case RunMode::Sheet:
        OpenConfigSheet(mainWindow);
        ClosePort();
        SaveCommSettingsOrReport(nullptr);
        return 0;
    case RunMode::Search:
        RunStandAloneSearch(mainWindow);
        ClosePort();
        return 0;
    case RunMode::Service:
        return RunServiceMode(showCommand);
    case RunMode::None:
    default:
        ReportMissingRunMode(mainWindow);
        ClosePort();
        return 0;
    }
}
