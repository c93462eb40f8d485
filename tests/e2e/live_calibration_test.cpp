// The Calibration page of Orvi.exe against orvi-sim: the pair of the output type, clicks, failures, leaving.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_records.h"
#include "driver_screenshot.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "resource.h"

namespace {

const char kCalibrationWrite[] = "0171";
const char kZero0to20Write[] = "01710017";
const char kSpan0to20Write[] = "01710018";
const char kActivationText[] =
    "Esta página permite a calibração 'on-line' dos valores de calibração da saída.\n"
    "Qualquer alteração no ZERO e SPAN irá ser transmitida ao Orvi.";
const DWORD kTwoTicksMs = 2500;

class CalibrationPage : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        ASSERT_TRUE(sim.Connected());
        sim.Reset();
        sim.SetPrivate(1, 21, 120);
        sim.SetPrivate(1, 22, 1800);
        sim.SetPrivate(1, 23, 80);
        sim.SetPrivate(1, 24, 1900);
        WriteSettingsFile(kSimOnCom1);
        RemoveJournal();
    }

    // Opens the sheet, shows the Calibration page and answers its explanatory message.
    void Open(int outputType) {
        sim.Set(1, 61, outputType);
        orvi = StartOrvi("CN");
        sheet = WaitForDialog(orvi.Id(), kSheetCaption);
        ASSERT_NE(sheet, nullptr);
        SeenMessageBox notice;
        page = ShowCalibrationPage(orvi.Id(), sheet, &notice);
        EXPECT_EQ(notice.caption, "Atenção");
        EXPECT_EQ(notice.text, kActivationText);
        ASSERT_NE(page, nullptr);
    }

    SimClient sim{SimControlPortFromEnv()};
    DriverProcess orvi;
    HWND sheet = nullptr;
    HWND page = nullptr;
};

TEST_F(CalibrationPage, ZeroToTwentyTrimsOnlyItsOwnPairAndThreeQuickClicksGiveOneWrite) {
    Open(13);
    ASSERT_TRUE(WaitFor([&] { return ControlText(page, IDC_CALIBRATION_ZERO) == "80"; }));
    EXPECT_EQ(ControlText(page, IDC_CALIBRATION_SPAN), "1900");
    SaveScreenshot(sheet, "orvi-calibration-live");
    sim.ClearLog();

    // Posted together, the three presses are all handled before the next timer message.
    for (int i = 0; i < 3; ++i) PostArrowUp(page, IDC_CALIBRATION_ZERO);
    ASSERT_TRUE(WaitFor([&] { return sim.GetPrivate(1, 23) == 83; }, kTwoTicksMs));
    // A later SPAN step shows that later ticks ran without writing ZERO again.
    PostArrowUp(page, IDC_CALIBRATION_SPAN);
    ASSERT_TRUE(WaitFor([&] { return sim.GetPrivate(1, 24) == 1901; }, kTwoTicksMs));
    EXPECT_EQ(CountFrames(sim, kZero0to20Write), 1);
    EXPECT_EQ(CountFrames(sim, kSpan0to20Write), 1);
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), 2) << "nothing else may be trimmed";
    // Each trim is journalled with the value the page read before it.
    ASSERT_TRUE(WaitFor([] { return JournalLines().size() == 2; })) << JournalLines().size() << " journal lines";
    const std::vector<std::string> journal = JournalLines();
    EXPECT_NE(journal[0].find("\"key\":\"privado 23\",\"register\":23,\"before\":80,\"written\":83"), std::string::npos)
        << journal[0];
    EXPECT_NE(journal[1].find("\"before\":1900,\"written\":1901"), std::string::npos) << journal[1];
    EXPECT_EQ(sim.GetPrivate(1, 21), 120);
    EXPECT_EQ(sim.GetPrivate(1, 22), 1800);
    EXPECT_EQ(ControlText(page, IDC_CALIBRATION_STATUS), "");
}

TEST_F(CalibrationPage, FourToTwentyTrimsOnlyTwentyOneAndTwentyTwo) {
    Open(14);
    ASSERT_TRUE(WaitFor([&] { return ControlText(page, IDC_CALIBRATION_ZERO) == "120"; }));
    EXPECT_EQ(ControlText(page, IDC_CALIBRATION_SPAN), "1800");
    sim.ClearLog();
    PostArrowUp(page, IDC_CALIBRATION_ZERO);
    PostArrowUp(page, IDC_CALIBRATION_SPAN);
    ASSERT_TRUE(WaitFor([&] { return sim.GetPrivate(1, 21) == 121 && sim.GetPrivate(1, 22) == 1801; }, kTwoTicksMs));
    EXPECT_EQ(CountFrames(sim, "01710015"), 1);
    EXPECT_EQ(CountFrames(sim, "01710016"), 1);
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), 2);
    EXPECT_EQ(sim.GetPrivate(1, 23), 80);
    EXPECT_EQ(sim.GetPrivate(1, 24), 1900);
}

TEST_F(CalibrationPage, FailingZeroWriteShowsInTheStatusLineRepeatsAndStopsWhenThePageIsLeft) {
    Open(13);
    ASSERT_TRUE(WaitFor([&] { return ControlText(page, IDC_CALIBRATION_ZERO) == "80"; }));
    sim.Fault(1, "silent");
    sim.ClearLog();
    PostArrowUp(page, IDC_CALIBRATION_ZERO);
    EXPECT_TRUE(WaitFor(
        [&] { return ControlText(page, IDC_CALIBRATION_STATUS) == "Erro na escrita do Offset 0 a 20mA (Time-out)"; },
        kTwoTicksMs + 1500))
        << ControlText(page, IDC_CALIBRATION_STATUS);
    SaveScreenshot(sheet, "orvi-calibration-write-error");
    // Three tries a tick; a second tick sends them again.
    EXPECT_TRUE(WaitFor([&] { return CountFrames(sim, kZero0to20Write) >= 6; }, 2 * kTwoTicksMs));

    sim.Fault(1, "none");
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_CALIBRATION_STATUS).empty(); }, 2 * kTwoTicksMs));
    EXPECT_EQ(sim.GetPrivate(1, 23), 81);

    // Another failing write, then the page is left: no more writes while the Diagnostic page polls.
    sim.Fault(1, "silent");
    PostArrowUp(page, IDC_CALIBRATION_ZERO);
    ASSERT_TRUE(WaitFor([&] { return !ControlText(page, IDC_CALIBRATION_STATUS).empty(); }, 2 * kTwoTicksMs));
    PostSelectPage(sheet, 3);
    ASSERT_NE(WaitForPage(sheet, "Diagnóstico"), nullptr);
    const int writesWhenLeft = CountFrames(sim, kCalibrationWrite);
    const int readsWhenLeft = CountFrames(sim, "01030000000A");
    ASSERT_TRUE(WaitFor([&] { return CountFrames(sim, "01030000000A") >= readsWhenLeft + 6; }, 3 * kTwoTicksMs));
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), writesWhenLeft);
    sim.Fault(1, "none");
}

}  // namespace
