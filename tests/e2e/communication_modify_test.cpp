// "&Modificar" in Orvi.exe's sheet: confirmed at the new setting, or refused or reported with nothing
// moved on the host's side.
#include <gtest/gtest.h>

#include <string>

#include "driver_message_box.h"
#include "driver_screenshot.h"
#include "driver_settings.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

int WritesHeard(SimClient& sim) {
    int writes = 0;
    for (const std::string& frame : sim.Log()) writes += frame.compare(2, 2, "06") == 0;
    return writes;
}

class CommunicationModify : public SheetOnSimulator {
protected:
    // The Communication page with address and rate chosen in the network group, "&Modificar" pressed
    // and confirmed; the box that follows (answered by the caller).
    SeenMessageBox Modify(const char* address, const char* baud) {
        PostSelectPage(session.sheet, 1);
        page = WaitForPage(session.sheet, "Comunicação");
        if (page == nullptr) return SeenMessageBox{};
        ChooseComboEntry(page, IDC_COMM_NETWORK_ADDRESS, address);
        ChooseComboEntry(page, IDC_COMM_NETWORK_BAUD, baud);
        settingsBefore = ReadSettingsFile();
        sim.ClearLog();
        PressButton(page, IDC_COMM_MODIFY);
        const SeenMessageBox sure = WaitForMessageBox(session.orvi.Id());
        if (sure.window == nullptr || sure.text != "Tem certeza que deseja modificar os parâmetros?" ||
            !AnswerMessageBox(sure, IDYES))
            return SeenMessageBox{};
        return WaitForMessageBoxWithin(session.orvi.Id(), 20000);
    }

    // The host still at address 1 and 9600, on screen and in orvi.ini.
    void ExpectHostUnmoved() {
        EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_ADDRESS), "1");
        EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_BAUD), "9600");
        EXPECT_TRUE(IsButtonChecked(page, IDC_COMM_RATE_9600));
        EXPECT_EQ(ReadSettingsFile().bytes, settingsBefore.bytes);
    }

    HWND page = nullptr;
    SettingsFile settingsBefore;
};

TEST_F(CommunicationModify, AWorkingTransmitterIsConfirmedAtTheNewSettingAndTheHostFollows) {
    Open();
    const SeenMessageBox done = Modify("9", "19200");
    ASSERT_NE(done.window, nullptr);
    EXPECT_EQ(done.caption, "Sucesso");
    EXPECT_EQ(done.text,
              "Parâmetros modificados e confirmados: o Equipamento responde no endereço 9 e baud rate 19200.");
    SaveScreenshot(done.window, "orvi-modify-confirmed");
    ASSERT_TRUE(AnswerMessageBox(done, IDOK));
    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id())) << "a Time-out or another box followed";
    EXPECT_EQ(sim.Command("devices"), "OK 9:19200");
    EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_ADDRESS), "9");
    EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_BAUD), "19200");
    EXPECT_TRUE(IsButtonChecked(page, IDC_COMM_RATE_19200));
    EXPECT_EQ(StoredSetting("Address"), "9");
    EXPECT_EQ(StoredSetting("Baud"), "19200");
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(CommunicationModify, ASilentTransmitterIsWrittenNothingAndTheHostStays) {
    Open();
    sim.Fault(1, "silent");
    const SeenMessageBox report = Modify("9", "2400");
    ASSERT_NE(report.window, nullptr);
    EXPECT_EQ(report.caption, "Erro na Comunicação");
    EXPECT_EQ(report.text.rfind("O Equipamento não respondeu no endereço 1 e baud rate 9600 (Time-out).", 0), 0u)
        << report.text;
    SaveScreenshot(report.window, "orvi-modify-no-reply");
    ASSERT_TRUE(AnswerMessageBox(report, IDOK));
    EXPECT_EQ(WritesHeard(sim), 0);
    ExpectHostUnmoved();
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(CommunicationModify, TheAddressOfAnotherTransmitterOnTheLineIsRefused) {
    ASSERT_EQ(sim.Command("add 12 9600"), "OK");
    Open();
    const SeenMessageBox refused = Modify("12", "9600");
    ASSERT_NE(refused.window, nullptr);
    EXPECT_EQ(refused.caption, "Atenção");
    EXPECT_EQ(refused.text.rfind("O endereço 12 já está em uso nesta linha!", 0), 0u) << refused.text;
    SaveScreenshot(refused.window, "orvi-modify-address-in-use");
    ASSERT_TRUE(AnswerMessageBox(refused, IDOK));
    EXPECT_EQ(WritesHeard(sim), 0);
    EXPECT_EQ(sim.Command("devices"), "OK 1:9600 12:9600");
    ExpectHostUnmoved();
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

}  // namespace
