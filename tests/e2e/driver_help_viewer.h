// The help requests a program makes, seen from the driver.
#pragma once
#include <windows.h>

#include <string>

#include "driver_wait.h"

struct HelpRequest {
    UINT command = 0;
    LONG data = 0;
    std::string file;
};

// Wine's WinHelpA hands each request to the top-level window of class "MS_WINHELP" as WM_COPYDATA and
// starts its own viewer only when there is none; this window takes that place, so the requests can
// be read and no viewer opens.
class HelpViewerWindow {
public:
    HelpViewerWindow();
    ~HelpViewerWindow();
    HelpViewerWindow(const HelpViewerWindow&) = delete;
    HelpViewerWindow& operator=(const HelpViewerWindow&) = delete;

    bool Valid() const { return window_ != nullptr; }
    // Handles the messages sent to this thread until a request has come; false after timeoutMs.
    bool WaitForRequest(HelpRequest* request, DWORD timeoutMs = kWaitMs);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool received_ = false;
    HelpRequest last_;
};
