// The Communication page as a dialog of its own: the search mode "BA" and the menu's "&Busca Automática".
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "sim_client.h"

namespace {

constexpr int kCloseButton = 1134;  // "&Fecha"

// The stand-alone dialog: a visible popup owned by the configurator's main window.
HWND WaitForSearchDialog(const DriverProcess& orvi, HWND mainWindow) {
    HWND dialog = WaitForDialog(orvi.Id(), "Comunicação");
    return dialog != nullptr && GetWindow(dialog, GW_OWNER) == mainWindow ? dialog : nullptr;
}

using OrviSearchMode = WithSimulator;

TEST_F(OrviSearchMode, RunsThePageAsADialogOwnedByTheHiddenMainWindowAndEndsWithIt) {
    DriverProcess orvi = StartOrvi("BA");
    HWND mainWindow = WaitForOrviWindow(orvi.Id());
    ASSERT_NE(mainWindow, nullptr);
    HWND dialog = WaitForSearchDialog(orvi, mainWindow);
    ASSERT_NE(dialog, nullptr) << "no stand-alone Communication dialog owned by the main window";
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_EQ(GetParent(dialog), mainWindow) << "a popup, not a child of the hidden window";
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "alone on screen, it needs a taskbar button";
    SaveScreenshot(dialog, "orvi-search-mode");

    ASSERT_NE(GetDlgItem(dialog, kCloseButton), nullptr) << "no \"&Fecha\" button: is this the Communication page?";
    EXPECT_TRUE(IsControlVisible(dialog, kCloseButton));
    RemoveSettingsFile();
    PressButton(dialog, kCloseButton);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(StoredSetting("Port"), "COM1") << "the page saves the settings when its dialog ends";
}

using OrviMenuSearch = WithSimulator;

TEST_F(OrviMenuSearch, ALaterSheetHasNoFechaAndReachesTheTransmitter) {
    SimClient sim(SimControlPortFromEnv());
    ASSERT_TRUE(sim.Connected());
    DriverProcess orvi = StartOrvi("QK");
    HWND mainWindow = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(mainWindow, nullptr);

    PostMenuCommand(mainWindow, 40033);
    HWND dialog = WaitForSearchDialog(orvi, mainWindow);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(GetDlgItem(dialog, kCloseButton), nullptr) << "no \"&Fecha\" button: is this the Communication page?";
    EXPECT_TRUE(IsControlVisible(dialog, kCloseButton));
    PressButton(dialog, kCloseButton);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_FALSE(ShowsMessageBox(orvi.Id())) << "the port must open again after the search dialog";

    sim.ClearLog();
    PostMenuCommand(mainWindow, 40031);
    HWND sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(sheet, nullptr);
    // The configuration block: 68 registers from register 0 at address 1.
    EXPECT_TRUE(WaitFor([&] { return CountFrames(sim, "010300000044") > 0; }))
        << "the sheet's read did not reach the transmitter";

    PostSelectPage(sheet, 1);
    HWND page = WaitForPage(sheet, "Comunicação");
    ASSERT_NE(page, nullptr);
    SaveScreenshot(sheet, "orvi-sheet-communication-after-search");
    EXPECT_FALSE(IsControlVisible(page, kCloseButton)) << "standAloneMode was left set";
}

}  // namespace
