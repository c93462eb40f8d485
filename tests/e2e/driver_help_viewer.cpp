// A window in the place of Wine's help viewer, recording the requests of WinHelpA.
#include "driver_help_viewer.h"

#include <cstring>

namespace {

const char kViewerClass[] = "MS_WINHELP";
// Wine's tag of a help request in COPYDATASTRUCT::dwData.
constexpr ULONG_PTR kWineHelpMagic = 0xA1DE505;

// The request as Wine lays it out (the Windows 95 layout), the file name following it.
struct WineHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};

const wchar_t kBrowserCommandKey[] = L"http\\shell\\open\\command";

std::wstring BrowserStandInCommand() {
    wchar_t driver[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, driver, MAX_PATH);
    std::wstring folder(driver);
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
    return L"\"" + folder + L"orvi_e2e_browser.exe\" \"%1\"";
}

void SetBrowserCommand(const std::wstring& command) {
    RegSetKeyValueW(HKEY_CLASSES_ROOT, kBrowserCommandKey, nullptr, REG_SZ, command.c_str(),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}
}  // namespace

std::string BrowserUrl(const HelpRequest& request) {
    std::string url;
    for (wchar_t c : request.browserArguments)
        if (c != L'"') url += c < 0x80 ? static_cast<char>(c) : '?';
    return url;
}

HelpViewerWindow::HelpViewerWindow() {
    wchar_t saved[1024] = {};
    DWORD savedBytes = sizeof saved;
    hadBrowserCommand_ = RegGetValueW(HKEY_CLASSES_ROOT, kBrowserCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, saved,
                                      &savedBytes) == ERROR_SUCCESS;
    savedBrowserCommand_ = saved;
    SetBrowserCommand(BrowserStandInCommand());
    WNDCLASSW browserClass = {};
    browserClass.lpfnWndProc = Procedure;
    browserClass.hInstance = GetModuleHandleW(nullptr);
    browserClass.lpszClassName = kBrowserStandInClassW;
    RegisterClassW(&browserClass);
    browserWindow_ = CreateWindowW(kBrowserStandInClassW, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), this);

    WNDCLASSA viewerClass = {};
    viewerClass.lpfnWndProc = Procedure;
    viewerClass.hInstance = GetModuleHandleA(nullptr);
    viewerClass.lpszClassName = kViewerClass;
    RegisterClassA(&viewerClass);  // fails harmlessly when an earlier test registered it
    // Top-level and never shown: FindWindow finds hidden windows but not message-only ones.
    window_ =
        CreateWindowA(kViewerClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

HelpViewerWindow::~HelpViewerWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (browserWindow_ != nullptr) DestroyWindow(browserWindow_);
    if (hadBrowserCommand_) {
        SetBrowserCommand(savedBrowserCommand_);
    } else {
        RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kBrowserCommandKey, nullptr);
    }
}

bool HelpViewerWindow::WaitForRequest(HelpRequest* request, DWORD timeoutMs) {
    received_ = false;
    const DWORD start = GetTickCount();
    while (!received_ && GetTickCount() - start < timeoutMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (!received_) MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
    if (received_) *request = last_;
    return received_;
}

LRESULT CALLBACK HelpViewerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* viewer = reinterpret_cast<HelpViewerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && viewer != nullptr) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == kBrowserStandInTag) {
            viewer->last_ = HelpRequest{};
            viewer->last_.browserArguments.assign(
                static_cast<const wchar_t*>(copy->lpData),
                wcsnlen(static_cast<const wchar_t*>(copy->lpData), copy->cbData / sizeof(wchar_t)));
            viewer->received_ = true;
            return TRUE;
        }
        if (copy->dwData != kWineHelpMagic || copy->cbData < sizeof(WineHelpRequest)) return FALSE;
        const auto* bytes = static_cast<const char*>(copy->lpData);
        WineHelpRequest header;
        std::memcpy(&header, bytes, sizeof header);
        viewer->last_ = HelpRequest{header.command, header.data, "", L""};
        if (header.ofsFilename != 0 && header.ofsFilename < copy->cbData)
            viewer->last_.file.assign(bytes + header.ofsFilename,
                                      strnlen(bytes + header.ofsFilename, copy->cbData - header.ofsFilename));
        viewer->received_ = true;
        return TRUE;
    }
    // The help viewer's window is an ANSI one, the browser stand-in's a Unicode one.
    return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
}
