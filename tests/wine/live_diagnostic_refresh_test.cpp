// The Diagnostic page after another configuration was read: fields follow, nothing untyped is written.
#include "live_page_fixture.h"
#include "resource.h"
#include "sheet/config_sheet.h"
#include "sheet/diagnostic_page.h"

namespace {

const char kOffsetWrite[] = "0106001D";

class DiagnosticRefresh : public LivePageTest {
protected:
    void SetUp() override {
        LivePageTest::SetUp();
        if (HasFatalFailure()) return;
        ReadConfiguration();
        CreatePage(IDD_DIAGNOSTIC_PAGE, DiagnosticPageProc);
        Notify(PSN_SETACTIVE);
    }
    void TearDown() override {
        if (page != NULL) Notify(PSN_KILLACTIVE);
        LivePageTest::TearDown();
    }
};

TEST_F(DiagnosticRefresh, NextActivationShowsTheNewTransmittersFieldsAndWritesNothing) {
    ASSERT_EQ(Text(IDC_DIAG_OFFSET), "0");
    ASSERT_EQ(Text(IDC_DIAG_SERIAL_NUMBER), "00012345");
    Notify(PSN_KILLACTIVE);

    sim.Set(1, 29, 7);
    sim.Set(1, 24, 999);
    sim.Set(1, 7, 205);
    sim.Set(1, 43, 6);  // tenths Pt100: the offset range becomes -1999..5300
    ReadConfiguration();
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_DIAG_OFFSET), "7");
    EXPECT_EQ(Text(IDC_DIAG_SERIAL_NUMBER), "00012999");
    EXPECT_EQ(Text(IDC_DIAG_FIRMWARE), "2.05");
    int low = 0, high = 0;
    SendDlgItemMessageA(page, IDC_DIAG_OFFSET_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, -1999);
    EXPECT_EQ(high, 5300);

    sim.ClearLog();
    Tick();
    Tick();
    EXPECT_EQ(CountFrames(kOffsetWrite), 0);
    EXPECT_EQ(sim.Get(1, 29), 7);
}

TEST_F(DiagnosticRefresh, TextTheUserTypedBeforeLeavingIsKeptAndWritten) {
    SetDlgItemTextA(page, IDC_DIAG_OFFSET, "5");
    Notify(PSN_KILLACTIVE);
    sim.Set(1, 29, 8);
    ReadConfiguration();
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_DIAG_OFFSET), "5");
    Tick();
    EXPECT_EQ(sim.Get(1, 29), 5);
    EXPECT_EQ(visit.lastKnown.indicationOffset, 5);

    // Written, the text is the transmitter's; the next read replaces it.
    Notify(PSN_KILLACTIVE);
    sim.Set(1, 29, -3);
    ReadConfiguration();
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_DIAG_OFFSET), "-3");
    sim.ClearLog();
    Tick();
    EXPECT_EQ(CountFrames(kOffsetWrite), 0);
}

TEST_F(DiagnosticRefresh, OffsetOutsideTheSpinRangeStepsFromTheEdgeAndLongTextReadsWhole) {
    Notify(PSN_KILLACTIVE);
    sim.Set(1, 29, 900);  // beyond thermocouple J's 760
    ReadConfiguration();
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_DIAG_OFFSET), "900");
    SendDlgItemMessageA(page, IDC_DIAG_OFFSET, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(IDC_DIAG_OFFSET), "759");
    Tick();
    EXPECT_EQ(sim.Get(1, 29), 759);

    SetDlgItemTextA(page, IDC_DIAG_OFFSET, "000000000000000012");
    Tick();
    EXPECT_EQ(sim.Get(1, 29), 12);
}

TEST_F(DiagnosticRefresh, StatusBitsBeyondTheTableGetANeutralLine) {
    sim.SetPrivate(1, 4, 0x8001);
    Tick();
    ASSERT_EQ(SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_GETCOUNT, 0, 0), 2);
    char text[64] = {};
    SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Bit de status 15");
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_GETCURSEL, 0, 0), 1);

    // The same word again: no rebuild, so the user's own selection stays.
    SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_SETCURSEL, 0, 0);
    Tick();
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_GETCURSEL, 0, 0), 0);
    sim.SetPrivate(1, 4, 0);
    Tick();
}

}  // namespace
