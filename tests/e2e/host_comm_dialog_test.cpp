// The host communication dialog "Comunicação" of the service mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"

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

// tests/e2e/run maps COM7 and COM12 to the simulator as well. Wine lists a mapped port among those
// present; where it does not, the value is added here as a port's driver would add it.
void ReportPortPresent(const char* name) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_READ | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD nameLength = sizeof valueName;
        char data[64] = {};
        DWORD dataBytes = sizeof data - 1;
        if (RegEnumValueA(key, index, valueName, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                          &dataBytes) != ERROR_SUCCESS)
            break;
        if (std::string(data) == name) {
            RegCloseKey(key);
            return;
        }
    }
    RegSetValueExA(key, (std::string("\\Device\\OrviE2e") + name).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(std::strlen(name) + 1));
    RegCloseKey(key);
}

// The port list: "None", COM1..COM4, then the other ports present in number order.
void ExpectPortList(HWND dialog) {
    const int count = ComboCount(dialog, kPortList);
    ASSERT_GE(count, 7);
    const char* fixed[] = {"None", "COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ComboItem(dialog, kPortList, i), fixed[i]);
    std::vector<int> others;
    for (int i = 5; i < count; ++i) others.push_back(std::atoi(ComboItem(dialog, kPortList, i).c_str() + 3));
    EXPECT_TRUE(std::is_sorted(others.begin(), others.end()));
    EXPECT_NE(std::find(others.begin(), others.end(), 7), others.end()) << "COM7 is not offered";
    EXPECT_NE(std::find(others.begin(), others.end(), 12), others.end()) << "COM12 is not offered";
}

class HostCommDialog : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        ReportPortPresent("COM7");
        ReportPortPresent("COM12");
    }
};

TEST_F(HostCommDialog, ShowsTheStoredSettingsAndOffersAddressesOneTo247) {
    // COM12 is kept whole (it once became COM1) and opens: no fallback notice comes.
    WriteSettingsFile("[Communication]\r\nAddress=200\r\nPort=COM12\r\nBaud=2400\r\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, false, &window);
    ASSERT_NE(dialog, nullptr);
    SaveScreenshot(dialog, "orvi-host-comm");

    std::string details;
    EXPECT_TRUE(IsCentredOverClientArea(dialog, window, &details)) << details;
    for (int id = 1002; id <= 1006; ++id) EXPECT_EQ(IsButtonChecked(dialog, id), id == 1003) << "button " << id;

    ExpectPortList(dialog);
    EXPECT_EQ(ComboSelection(dialog, kPortList), "COM12");

    ASSERT_EQ(ComboCount(dialog, kAddressList), 247) << "only what register 44 can hold";
    EXPECT_EQ(ComboItem(dialog, kAddressList, 0), "1");
    EXPECT_EQ(ComboItem(dialog, kAddressList, 246), "247");
    EXPECT_EQ(ComboSelection(dialog, kAddressList), "200");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kAddressList)), "200");

    // Cancel keeps everything as it was, file included.
    const SettingsFile before = ReadSettingsFile();
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_EQ(ReadSettingsFile().bytes, before.bytes);
    PostMenuCommand(window, kMenuExit);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(StoredSetting("Port"), "COM12");
}

TEST_F(HostCommDialog, OldSettingsFileIsReadUntilTheUsersOwnHoldsTheChange) {
    // An earlier installation: only the Windows directory's file, at a rate the transmitter does not use.
    const std::string old = "[Communication]\r\nAddress=1\r\nPort=COM7\r\nBaud=2400\r\n";
    WriteOldSettingsFile(old);
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, false, &window);
    ASSERT_NE(dialog, nullptr);
    ExpectPortList(dialog);
    EXPECT_EQ(ComboSelection(dialog, kPortList), "COM7");
    EXPECT_TRUE(IsButtonChecked(dialog, 1003)) << "2400 from the old file";
    PostMessageA(GetDlgItem(dialog, 1005), BM_CLICK, 0, 0);  // 9600, the transmitter's rate
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog));
    PostMenuCommand(window, kMenuExit);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(StoredSetting("Port"), "COM7");
    EXPECT_EQ(StoredSetting("Baud"), "9600");
    EXPECT_EQ(StoredSetting("Address"), "1");

    // The next start takes the user's file: the sheet reads the transmitter on COM7 at 9600.
    DriverProcess sheet = StartOrvi("CN");
    HWND shown = WaitForDialog(sheet.Id(), kSheetCaption);
    ASSERT_NE(shown, nullptr) << "no sheet: the transmitter on COM7 was not reached";
    EXPECT_NE(WaitForPage(shown, "Entrada/Saída"), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(shown, GWL_EXSTYLE) & WS_EX_APPWINDOW)
        << "alone on screen, it needs a taskbar button";
    SaveScreenshot(shown, "orvi-sheet-on-com7");
    PressButton(shown, IDCANCEL);
    EXPECT_TRUE(sheet.WaitExit(kWaitMs));
    std::ifstream oldFile(OldSettingsFilePath(), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(oldFile)), std::istreambuf_iterator<char>()), old)
        << "the old file is left as it was";
}

TEST_F(HostCommDialog, UnknownStoredRateChecksNoButtonAndOkStores19200) {
    WriteSettingsFile("[Communication]\r\nAddress=250\r\nPort=COM1\r\nBaud=38400\r\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = nullptr;
    HWND dialog = OpenHostDialog(orvi, false, &window);
    ASSERT_NE(dialog, nullptr);
    for (int id = 1002; id <= 1006; ++id) EXPECT_FALSE(IsButtonChecked(dialog, id)) << "button " << id;
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kAddressList)), "250") << "a stored address outside the list is still shown";

    // An address no request can reach (first the stored 250 as shown: nullptr types nothing) is
    // refused before anything is taken or saved.
    const SettingsFile before = ReadSettingsFile();
    for (const char* typed : {static_cast<const char*>(nullptr), "300", "", "0", "248"}) {
        if (typed != nullptr) TypeText(dialog, kAddressList, typed);
        PressButton(dialog, IDOK);
        const SeenMessageBox box = WaitForMessageBox(orvi.Id());
        ASSERT_NE(box.window, nullptr) << "address '" << (typed ? typed : "250") << "'";
        EXPECT_EQ(box.caption, "Atenção");
        EXPECT_EQ(box.text, "Endereço inválido!\n\nInforme um número de 1 a 247.");
        ASSERT_TRUE(AnswerMessageBox(box, IDOK));
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog must stay open";
    }
    EXPECT_EQ(ReadSettingsFile().bytes, before.bytes);

    TypeText(dialog, kAddressList, "9");
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
