// Start-up of the configurator and the three run modes.
#include "shell/program_start.h"

#include <commctrl.h>

#include "link/comm_settings.h"
#include "link/serial_port.h"
#include "sheet/config_sheet.h"
#include "shell/main_window.h"
#include "shell/run_mode.h"
#include "sheet/comm_settings_save.h"
#include "shell/shell_messages.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "shell/stand_alone_search.h"
#include "ui_text.h"

namespace {

// The window of the running instance that the user sees: the main window is hidden in the sheet and
// search modes, where the sheet or the search dialog it owns is on screen instead.
BOOL CALLBACK FindShownOwnedWindow(HWND window, LPARAM lParam) {
    HWND* found = reinterpret_cast<HWND*>(lParam);
    if (!IsWindowVisible(window)) return TRUE;
    for (HWND owner = GetWindow(window, GW_OWNER); owner != nullptr; owner = GetWindow(owner, GW_OWNER)) {
        if (owner == found[0]) {
            found[1] = window;
            return FALSE;
        }
    }
    return TRUE;
}

HWND ShownWindowOf(HWND runningMain) {
    HWND popup = GetLastActivePopup(runningMain);
    if (popup != runningMain && IsWindowVisible(popup)) return popup;
    if (IsWindowVisible(runningMain)) return runningMain;
    HWND found[2] = {runningMain, nullptr};
    EnumWindows(FindShownOwnedWindow, reinterpret_cast<LPARAM>(found));
    return found[1] != nullptr ? found[1] : runningMain;
}

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
    if (HWND running = FindWindowW(WideFrom1252(kMainWindowClass).c_str(), WideFrom1252(kMainWindowTitle).c_str())) {
        HWND shown = ShownWindowOf(running);
        if (IsIconic(shown)) ShowWindow(shown, SW_RESTORE);
        SetForegroundWindow(shown);
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
        OpenConfigSheet(ProgramSheetHost(), mainWindow);
        ClosePort();
        SaveCommSettingsOrReport(nullptr);
        return 0;
    case RunMode::Search:
        RunStandAloneSearch(mainWindow);
        ClosePort();
        return 0;
    case RunMode::Service: return RunServiceMode(showCommand);
    case RunMode::None:
    default:
        ReportMissingRunMode(mainWindow);
        ClosePort();
        return 0;
    }
}
