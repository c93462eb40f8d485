// The host communication dialog "Comunicação" of the service mode.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"

namespace {

constexpr WPARAM kMenuExit = 40003;
constexpr WPARAM kMenuHostComm = 40005;
constexpr int kPortList = 1000;
constexpr int kAddressList = 1031;

// Starts the service mode, answers a start-up port message when one is expected, opens the dialog.
HWND OpenHostDialog(const DriverProcess& orvi, bool expectPortFailure, HWND* mainWindow) {
    if (expectPortFailure) {
        const SeenMessageBox box = WaitForMessageBox(orvi.Id());
        if (box.window == nullptr || !AnswerMessageBox(box, IDOK)) return nullptr;
    }
    *mainWindow = WaitForShownOrviWindow(orvi.Id());
    if (*mainWindow == nullptr) return nullptr;
    PostMenuCommand(*mainWindow, kMenuHostComm);
    return WaitForDialog(orvi.Id(), "Comunicação");
}

using HostCommDialog = WithSimulator;

TEST_F(HostCommDialog, ShowsTheStoredSettingsAndOffersAddressesOneTo254) {
    WriteSettingsFile("[Communication]\r\nAddress=200\r\nPort=COM1\r\nBaud=2400\r\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, false, &window);
    ASSERT_NE(dialog, nullptr);
    SaveScreenshot(dialog, "orvi-host-comm");

    std::string details;
    EXPECT_TRUE(IsCentredOverClientArea(dialog, window, &details)) << details;
    for (int id = 1002; id <= 1006; ++id) EXPECT_EQ(IsButtonChecked(dialog, id), id == 1003) << "button " << id;

    ASSERT_EQ(ComboCount(dialog, kPortList), 5);
    const char* ports[] = {"None", "COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ComboItem(dialog, kPortList, i), ports[i]);
    EXPECT_EQ(ComboSelection(dialog, kPortList), "COM1");

    ASSERT_EQ(ComboCount(dialog, kAddressList), 254);
    EXPECT_EQ(ComboItem(dialog, kAddressList, 0), "1");
    EXPECT_EQ(ComboItem(dialog, kAddressList, 253), "254");
    EXPECT_EQ(ComboSelection(dialog, kAddressList), "200");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kAddressList)), "200");

    // Cancel keeps everything as it was, file included.
    const SettingsFile before = ReadSettingsFile();
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_EQ(ReadSettingsFile().bytes, before.bytes);
}

TEST_F(HostCommDialog, UnknownStoredRateChecksNoButtonAndOkStores19200) {
    WriteSettingsFile("[Communication]\r\nAddress=9\r\nPort=COM1\r\nBaud=38400\r\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, false, &window);
    ASSERT_NE(dialog, nullptr);
    for (int id = 1002; id <= 1006; ++id) EXPECT_FALSE(IsButtonChecked(dialog, id)) << "button " << id;

    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog)) << "OK with an openable port must close the dialog";
    // OK saves at once, before any way out.
    EXPECT_EQ(StoredSetting("Baud"), "19200");
    EXPECT_EQ(StoredSetting("Port"), "COM1");
    EXPECT_EQ(StoredSetting("Address"), "9");
    PostMenuCommand(window, kMenuExit);
    EXPECT_TRUE(orvi.WaitExit(kWaitMs));
}

using HostCommDialogWithoutPorts = WithoutPorts;

TEST_F(HostCommDialogWithoutPorts, OkKeepsTheDialogOpenAfterTheMessageAndCancelLeavesNone) {
    WriteSettingsFile("[Communication]\r\nAddress=5\r\nPort=COM2\r\nBaud=9600\r\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, true, &window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboSelection(dialog, kPortList), "None") << "the failed start-up open leaves the name None";

    PressButton(dialog, IDOK);
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Erro");
    EXPECT_EQ(box.text, "Não foi possível configurar a porta serial!");
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), dialog);
    SaveScreenshot(box.window, "orvi-host-comm-port-failure");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog must stay open";

    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    PostMenuCommand(window, kMenuExit);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(StoredSetting("Port"), "None");
    EXPECT_EQ(StoredSetting("Address"), "5") << "a failed OK does not take the address";
}

}  // namespace
