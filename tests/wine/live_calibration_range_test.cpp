// The Calibration page with values outside its spins' ranges, and reads that fail.
#include "live_page_fixture.h"
#include "resource.h"
#include "sheet/calibration_page.h"
#include "sheet/config_sheet.h"
#include "ui_text.h"

namespace {

std::vector<std::string> shownBoxes;

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
    shownBoxes.push_back(text);
    return IDOK;
}

class CalibrationRange : public LivePageTest {
protected:
    void SetUp() override {
        LivePageTest::SetUp();
        if (HasFatalFailure()) return;
        shownBoxes.clear();
        calibrationPageMessageBox = RecordBox;
        sim.Set(1, 61, 13);
        ReadConfiguration();
        CreatePage(IDD_CALIBRATION_PAGE, CalibrationPageProc);
    }
    void TearDown() override {
        calibrationPageMessageBox = ShowMessage;
        LivePageTest::TearDown();
    }
    void Step(int editId, WPARAM key) { SendDlgItemMessageA(page, editId, WM_KEYDOWN, key, 0); }
};

TEST_F(CalibrationRange, ValuesOutsideTheRangeShowAsTheyAreAndAreWrittenOnlyOnceTheUserStepsThem) {
    sim.SetPrivate(1, 23, 4500);  // beyond ZERO's 4000
    sim.SetPrivate(1, 24, 0);     // below SPAN's 500
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_CALIBRATION_ZERO), "4500");
    EXPECT_EQ(Text(IDC_CALIBRATION_SPAN), "0");
    sim.ClearLog();
    Tick();
    Tick();
    EXPECT_EQ(CountFrames("0171"), 0);

    // One step goes from the range's edge, not from wherever the spin stood before.
    Step(IDC_CALIBRATION_SPAN, VK_UP);
    EXPECT_EQ(Text(IDC_CALIBRATION_SPAN), "501");
    Tick();
    EXPECT_EQ(sim.GetPrivate(1, 24), 501);
    EXPECT_EQ(CountFrames("01710017"), 0) << "ZERO was not stepped";
    EXPECT_EQ(sim.GetPrivate(1, 23), 4500);
    Step(IDC_CALIBRATION_ZERO, VK_DOWN);
    EXPECT_EQ(Text(IDC_CALIBRATION_ZERO), "3999");
    Tick();
    EXPECT_EQ(sim.GetPrivate(1, 23), 3999);
    Notify(PSN_KILLACTIVE);
}

TEST_F(CalibrationRange, FailedReadsReportInAddressOrderAndKeepTheValuesHeldBefore) {
    visit.calibration = CalibrationValues{11, 1111, 22, 2222};
    sim.Fault(1, "silent");
    Notify(PSN_SETACTIVE);
    sim.Fault(1, "none");
    ASSERT_EQ(shownBoxes.size(), 5u);
    EXPECT_EQ(shownBoxes[1], "Erro na leitura do offset da calibração 4 a 20mA (Time-out)");
    EXPECT_EQ(shownBoxes[2], "Erro na leitura do ganho da calibração 4 a 20mA (Time-out)");
    EXPECT_EQ(shownBoxes[3], "Erro na leitura do offset da calibração 0 a 20mA (Time-out)");
    EXPECT_EQ(shownBoxes[4], "Erro na leitura do ganho da calibração 0 a 20mA (Time-out)");
    EXPECT_EQ(Text(IDC_CALIBRATION_ZERO), "22");
    EXPECT_EQ(Text(IDC_CALIBRATION_SPAN), "2222");
    sim.ClearLog();
    Tick();
    EXPECT_EQ(CountFrames("0171"), 0) << "values held, not changed by the user, are not written";
    Notify(PSN_KILLACTIVE);
}

}  // namespace
