// Procedure of the main window: settings and port at creation, the menu, and the way out.
#include "shell/main_window.h"

#include "link/comm_settings.h"
#include "link/link_platform_win32.h"
#include "link/serial_port.h"
#include "resource.h"
#include "sheet/config_sheet.h"
#include "shell/shell_dialogs.h"
#include "sheet/comm_settings_save.h"
#include "shell/shell_messages.h"
#include "shell/desk_file_commands.h"
#include "shell/records_commands.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "shell/stand_alone_search.h"
#include "ui_text.h"

const char kMainWindowClass[] = "ORVI";
const char kMainWindowTitle[] = "Tavelo Configurador Orvi";

namespace {

void OnCreate(HWND window) {
    // The window handle is needed before CreateWindowEx returns: it owns the port's notices.
    mainWindow = window;
    SetNoticeOwner(window);
    LoadCommSettings();
    if (!OpenPort()) ReportPortFailure(window);
}

// Runs a menu command; false when the value is none of the menu's.
bool OnMenuCommand(HWND window, WPARAM command) {
    switch (command) {
    case IDM_EXIT: SendMessageA(window, WM_CLOSE, 0, 0); return true;
    case IDM_HOST_COMM: RunDialog("Comunic", window, HostCommDialogProc); return true;
    case IDM_LINE_DIAGNOSIS: RunDialog(MAKEINTRESOURCEA(IDD_LINE_DIAGNOSIS), window, LineDiagnosisProc); return true;
    case IDM_CONFIG_SHEET: OpenConfigSheet(ProgramSheetHost(), window); return true;
    case IDM_AUTO_SEARCH: RunSearchFromMenu(window); return true;
    case IDM_EDIT_CONFIG_FILE: EditConfigurationFile(window); return true;
    case IDM_NEW_CONFIG_FILE: NewConfigurationFile(window); return true;
    case IDM_ABOUT: RunDialog("SOBRE", window, AboutBoxProc); return true;
    default: return RunRecordsCommand(window, static_cast<UINT>(LOWORD(command)));
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_COMMAND:
        if (OnMenuCommand(window, wParam)) return 0;
        break;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
        ClosePort();
        SaveCommSettingsOrReport(nullptr);  // the window is going
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass() {
    // A Unicode class: the window and the dialogs it owns take the wide texts as they are.
    const std::wstring className = WideFrom1252(kMainWindowClass);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = programInstance;
    windowClass.hIcon = programIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = L"Menu";
    windowClass.lpszClassName = className.c_str();
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateMainWindow() {
    return CreateWindowExW(0, WideFrom1252(kMainWindowClass).c_str(), WideFrom1252(kMainWindowTitle).c_str(),
                           WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, programInstance, nullptr);
}
