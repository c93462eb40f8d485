// The Diagnostic page of Orvi.exe against orvi-sim: live values, status list and the offset write.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_screenshot.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "resource.h"

namespace {

const char kLiveRead[] = "01030000000A";
const char kOffsetWrite[] = "0106001D";
// Each poll tick is one second; a change must show by the second tick after it.
const DWORD kTwoTicksMs = 2500;

class DiagnosticPage : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        ASSERT_TRUE(sim.Connected());
        sim.Reset();
        WriteSettingsFile(kSimOnCom1);
    }

    // Opens the sheet on the transmitter as the test prepared it and shows the Diagnostic page.
    void Open() {
        orvi = StartOrvi("CN");
        sheet = WaitForDialog(orvi.Id(), kSheetCaption);
        ASSERT_NE(sheet, nullptr);
        PostSelectPage(sheet, 3);
        page = WaitForPage(sheet, "Diagnóstico");
        ASSERT_NE(page, nullptr);
    }

    // Waits until the page has polled `ticks` more times (each poll starts with a live-block read).
    bool WaitTicks(int ticks) {
        const int start = CountFrames(sim, kLiveRead);
        return WaitFor([&] { return CountFrames(sim, kLiveRead) >= start + ticks; }, 1500 * ticks + 1000);
    }

    SimClient sim{SimControlPortFromEnv()};
    DriverProcess orvi;
    HWND sheet = nullptr;
    HWND page = nullptr;
};

TEST_F(DiagnosticPage, ProcessValueAlarmAndStatusListFollowTheTransmitter) {
    sim.Set(1, 43, 6);  // tenths Pt100
    sim.Set(1, 1, -1234);
    sim.Set(1, 31, -1500);  // "Hi" alarm on
    sim.SetPrivate(1, 4, 5);
    Open();
    EXPECT_EQ(ControlText(page, IDC_DIAG_SERIAL_NUMBER), "00012345");
    EXPECT_EQ(ControlText(page, IDC_DIAG_FIRMWARE), "1.11");
    EXPECT_EQ(ControlText(page, IDC_DIAG_UNIT), "°C");
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_PROCESS_VALUE) == "-123.4"; }, kTwoTicksMs))
        << ControlText(page, IDC_DIAG_PROCESS_VALUE);
    EXPECT_EQ(ControlText(page, IDC_DIAG_ALARM), "Hi");
    ASSERT_TRUE(WaitFor([&] { return ComboCount(page, IDC_DIAG_STATUS_LIST) == 2; }, kTwoTicksMs));
    EXPECT_EQ(ComboItem(page, IDC_DIAG_STATUS_LIST, 0), "Conversão de PV muito baixa");
    EXPECT_EQ(ComboSelection(page, IDC_DIAG_STATUS_LIST), "Conversão de PV muito alta");
    SaveScreenshot(sheet, "orvi-diagnostic-live");

    sim.Set(1, 1, -5);
    sim.Set(1, 31, 0);  // the alarm goes off
    sim.SetPrivate(1, 4, 4);
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_PROCESS_VALUE) == "-0.5"; }, kTwoTicksMs));
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_ALARM).empty(); }, kTwoTicksMs));
    EXPECT_TRUE(WaitFor([&] { return ComboCount(page, IDC_DIAG_STATUS_LIST) == 1; }, kTwoTicksMs));
    EXPECT_EQ(ComboSelection(page, IDC_DIAG_STATUS_LIST), "Conversão de PV muito alta");

    sim.Fault(1, "silent");
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_PROCESS_VALUE) == "????"; }, 5000));
    sim.Fault(1, "none");
}

TEST_F(DiagnosticPage, TypedOffsetReachesTheTransmitterOnceAndALaterDigitAgain) {
    Open();
    ASSERT_EQ(ControlText(page, IDC_DIAG_OFFSET), "0");
    sim.ClearLog();
    TypeText(page, IDC_DIAG_OFFSET, "-12");
    ASSERT_TRUE(WaitFor([&] { return sim.Get(1, 29) == -12; }, kTwoTicksMs));
    ASSERT_TRUE(WaitTicks(2));
    EXPECT_EQ(CountFrames(sim, "0106001DFFF4"), 1);
    EXPECT_EQ(CountFrames(sim, kOffsetWrite), 1);

    sim.ClearLog();
    TypeText(page, IDC_DIAG_OFFSET, "1");
    ASSERT_TRUE(WaitFor([&] { return sim.Get(1, 29) == 1; }, kTwoTicksMs));
    ASSERT_TRUE(WaitTicks(1));
    TypeText(page, IDC_DIAG_OFFSET, "15");
    ASSERT_TRUE(WaitFor([&] { return sim.Get(1, 29) == 15; }, kTwoTicksMs));
    ASSERT_TRUE(WaitTicks(2));
    std::vector<std::string> writes;
    for (const std::string& frame : sim.Log())
        if (frame.compare(0, 8, kOffsetWrite) == 0) writes.push_back(frame.substr(8, 4));
    EXPECT_EQ(writes, (std::vector<std::string>{"0001", "000F"}));

    // A number beyond 16 bits is not a number: nothing is sent.
    sim.ClearLog();
    TypeText(page, IDC_DIAG_OFFSET, "70000");
    ASSERT_TRUE(WaitTicks(2));
    EXPECT_EQ(CountFrames(sim, kOffsetWrite), 0);
    EXPECT_EQ(sim.Get(1, 29), 15);
}

TEST_F(DiagnosticPage, FailedOffsetWriteOpensOnePromptWhileTicksGoOnAndAbortRestoresTheValue) {
    sim.Set(1, 29, 3);
    sim.Set(1, 1, 100);
    Open();
    ASSERT_EQ(ControlText(page, IDC_DIAG_OFFSET), "3");
    sim.Fault(1, "badecho");
    TypeText(page, IDC_DIAG_OFFSET, "9");
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Erro na escrita");
    EXPECT_EQ(box.text.rfind("Erro na escrita do Offset de indicação (", 0), 0u) << box.text;
    SaveScreenshot(box.window, "orvi-diagnostic-offset-error");

    // Under the prompt the page keeps polling, and no second write or prompt starts.
    const int writesAtPrompt = CountFrames(sim, kOffsetWrite);
    sim.Set(1, 1, 222);
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_PROCESS_VALUE) == "222"; }, kTwoTicksMs));
    ASSERT_TRUE(WaitTicks(2));
    EXPECT_EQ(CountDialogs(orvi.Id(), "Erro na escrita"), 1);
    EXPECT_EQ(CountFrames(sim, kOffsetWrite), writesAtPrompt);

    sim.Fault(1, "none");
    ASSERT_TRUE(AnswerMessageBox(box, IDABORT));
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_DIAG_OFFSET) == "3"; }, kTwoTicksMs));
    sim.ClearLog();
    ASSERT_TRUE(WaitTicks(2));
    EXPECT_EQ(CountFrames(sim, kOffsetWrite), 0);
    EXPECT_FALSE(ShowsMessageBox(orvi.Id()));
    EXPECT_EQ(sim.Get(1, 29), 3);
}

}  // namespace
