// The please-wait window "CxDlgComm" while the sheet mode reads a transmitter that is slow to answer.
#include <gtest/gtest.h>

#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "sim_client.h"

namespace {

const char kPleaseWaitText[] = "Tentando comunicação.    Aguarde...";

// The program reads on its own thread's time, so the static's text is taken from the window's stored text.
HWND FindPleaseWait(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, true)) {
        HWND text = FindWindowExA(window, nullptr, "Static", nullptr);
        char buffer[64] = {};
        if (text != nullptr && GetWindowTextA(text, buffer, sizeof buffer) > 0 &&
            std::string(buffer) == kPleaseWaitText)
            return window;
    }
    return nullptr;
}

using PleaseWaitWindow = WithSimulator;

TEST_F(PleaseWaitWindow, IsCentredOverTheHiddenMainWindowWhileTheSheetReads) {
    SimClient sim(SimControlPortFromEnv());
    ASSERT_TRUE(sim.Connected());
    // Two silent reads of three tries each keep the window up for a few seconds; the third read succeeds.
    sim.Fault(1, "silent", 6);
    WriteSettingsFile(kSimOnCom1);

    DriverProcess orvi = StartOrvi("CN");
    HWND mainWindow = WaitForOrviWindow(orvi.Id());
    ASSERT_NE(mainWindow, nullptr);
    HWND pleaseWait = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (pleaseWait = FindPleaseWait(orvi.Id())) != nullptr; }));
    std::string details;
    EXPECT_TRUE(IsCentredOverClientArea(pleaseWait, mainWindow, &details)) << details;
    char caption[32] = {};
    GetWindowTextA(pleaseWait, caption, sizeof caption);
    EXPECT_STREQ(caption, "Comunicação");
    SaveScreenshot(pleaseWait, "orvi-please-wait");

    HWND sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(sheet, nullptr) << "the read after the silent ones did not open the sheet";
    EXPECT_FALSE(IsWindow(pleaseWait)) << "the please-wait window outlived the read";
    sim.Fault(1, "none");

    // Leaving the sheet ends the sheet mode, which saves the settings.
    RemoveSettingsFile();
    PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(StoredSetting("Port"), "COM1");
}

}  // namespace
