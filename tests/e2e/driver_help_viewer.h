// The help requests a program makes, seen from the driver.
#pragma once
#include <windows.h>

#include <string>

#include "driver_wait.h"

struct HelpRequest {
    UINT command = 0;
    LONG data = 0;
    std::string file;
    std::wstring browserArguments;  // set instead when the request went to the browser
};

// The URL the browser was given, without the quotes around it (non-ASCII characters as '?').
std::string BrowserUrl(const HelpRequest& request);

// The browser stand-in (orvi_e2e_browser.exe) finds the driver by this class and tags its message.
constexpr wchar_t kBrowserStandInClassW[] = L"OrviE2eBrowser";
constexpr ULONG_PTR kBrowserStandInTag = 0x0B50;

// Wine's WinHelpA hands each request to the top-level window of class "MS_WINHELP" as WM_COPYDATA and
// starts its own viewer only when there is none; this window takes that place, so the requests can
// be read and no viewer opens. While it exists, orvi_e2e_browser.exe is the system's browser (the
// http protocol's "open" command) and hands its command line to a second window of this object.
class HelpViewerWindow {
public:
    HelpViewerWindow();
    ~HelpViewerWindow();
    HelpViewerWindow(const HelpViewerWindow&) = delete;
    HelpViewerWindow& operator=(const HelpViewerWindow&) = delete;

    bool Valid() const { return window_ != nullptr && browserWindow_ != nullptr; }
    // Handles the messages sent to this thread until a request has come; false after timeoutMs.
    bool WaitForRequest(HelpRequest* request, DWORD timeoutMs = kWaitMs);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND browserWindow_ = nullptr;
    std::wstring savedBrowserCommand_;
    bool hadBrowserCommand_ = false;
    bool received_ = false;
    HelpRequest last_;
};
