// Configurator start and window look-up, and the centring rule the dialogs must follow.
#include "driver_programs.h"

#include "driver_paths.h"
#include "driver_windows.h"

namespace {
const char kOrviClass[] = "ORVI";
const char kOrviTitle[] = "Tavelo Configurador Orvi";
}  // namespace

DriverProcess StartOrvi(const std::string& tail) {
    return DriverProcess::Start(CommandLine(OrviProgram(), tail), DistFolder());
}

std::string DescribeProcess(const DriverProcess& process) {
    if (!process.Running()) return "the process ended with code " + std::to_string(process.ExitCode());
    std::string text = "the process runs";
    const std::vector<HWND> windows = TopLevelWindows(process.Id(), false);
    if (windows.empty()) return text + " without a window";
    for (HWND window : windows)
        text += "; " + ClassOf(window) + " \"" + TextOf(window) + "\"" +
                (IsWindowVisible(window) ? " shown" : " hidden") + (Responds(window) ? "" : " (not answering)");
    return text;
}

HWND WaitForOrviWindow(DWORD processId) { return WaitForTopLevel(processId, kOrviClass, kOrviTitle, false); }

HWND WaitForShownOrviWindow(DWORD processId) { return WaitForTopLevel(processId, kOrviClass, kOrviTitle, true); }

HWND AnyOrviWindow() { return FindWindowA(kOrviClass, kOrviTitle); }

bool IsCentredOverClientArea(HWND dialog, HWND owner, std::string* details) {
    RECT dialogRect = {};
    RECT client = {};
    GetWindowRect(dialog, &dialogRect);
    GetClientRect(owner, &client);
    POINT centre = {client.right / 2, client.bottom / 2};
    ClientToScreen(owner, &centre);
    const long width = dialogRect.right - dialogRect.left;
    const long height = dialogRect.bottom - dialogRect.top;
    const long expectedLeft = centre.x - width / 2;
    const long expectedTop = centre.y - height / 2;
    if (details) {
        *details = "dialog at (" + std::to_string(dialogRect.left) + "," + std::to_string(dialogRect.top) + ") size " +
                   std::to_string(width) + "x" + std::to_string(height) + ", client centre (" +
                   std::to_string(centre.x) + "," + std::to_string(centre.y) + "), expected (" +
                   std::to_string(expectedLeft) + "," + std::to_string(expectedTop) + ")";
    }
    return dialogRect.left == expectedLeft && dialogRect.top == expectedTop;
}
