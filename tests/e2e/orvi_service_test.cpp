// The service mode's main window: "&Sair", the About box and the automatic search from the menu.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"

namespace {

constexpr WPARAM kMenuExit = 40003;
constexpr WPARAM kMenuAbout = 40002;

using OrviServiceMode = WithSimulator;

TEST_F(OrviServiceMode, SairWritesAddressPortAndBaudOnTheWayOut) {
    WriteSettingsFile(kSettingsCom1At4800);
    DriverProcess orvi = StartOrvi("QK");
    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ShowsMessageBox(orvi.Id()));

    // Whatever is in the file at the end was written on the way out.
    RemoveSettingsFile();
    PostMenuCommand(window, kMenuExit);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(StoredSetting("Address"), "7");
    EXPECT_EQ(StoredSetting("Port"), "COM1");
    EXPECT_EQ(StoredSetting("Baud"), "4800");
}

TEST_F(OrviServiceMode, AboutBoxIsCentredOverTheClientAreaAndClosesWithOk) {
    DriverProcess orvi = StartOrvi("QK");
    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);

    PostMenuCommand(window, kMenuAbout);
    HWND about = WaitForDialog(orvi.Id(), "Sobre o Configurador");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    std::string details;
    EXPECT_TRUE(IsCentredOverClientArea(about, window, &details)) << details;
    SaveScreenshot(about, "orvi-about");

    PressButton(about, IDOK);
    EXPECT_TRUE(WaitGone(about));
    EXPECT_TRUE(Responds(window));
}

}  // namespace
