// Clicks that arrive while Orvi.exe talks to the transmitter: the link's turnaround wait dispatches
// them, and none of them may start a second action inside the first.
#include <gtest/gtest.h>

#include <string>

#include "driver_message_box.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

const char kLiveRead[] = "01030000000A";
const int kApplyButton = 0x3021;  // the sheet's own Apply button

int WritesHeard(SimClient& sim) {
    int writes = 0;
    for (const std::string& frame : sim.Log())
        if (frame.compare(2, 2, "06") == 0) ++writes;
    return writes;
}

class OneActionAtATime : public SheetOnSimulator {
protected:
    HWND ShowPage(int index, const char* caption) {
        PostSelectPage(session.sheet, index);
        return WaitForPage(session.sheet, caption);
    }
};

TEST_F(OneActionAtATime, OkDuringTheSearchAt1200IsRefusedAndShowsNothing) {
    Open();
    HWND page = ShowPage(1, "Comunicação");
    ASSERT_NE(page, nullptr);
    sim.Command("remove 1");
    ASSERT_EQ(sim.Command("add 1 1200"), "OK");  // four slower rates go unanswered first
    sim.ClearLog();

    PressButton(page, IDC_COMM_SEARCH);
    const SeenMessageBox confirm = WaitForMessageBox(session.orvi.Id());
    ASSERT_NE(confirm.window, nullptr);
    ASSERT_TRUE(AnswerMessageBox(confirm, IDOK));
    PostClick(GetDlgItem(session.sheet, IDOK));

    // The first box after the confirmation is the search's own: no write prompt, no time-out.
    const SeenMessageBox done = WaitForMessageBoxWithin(session.orvi.Id(), 30000);
    ASSERT_NE(done.window, nullptr);
    EXPECT_EQ(done.text, "Busca automática concluída!");
    ASSERT_TRUE(AnswerMessageBox(done, IDOK));
    EXPECT_EQ(WritesHeard(sim), 0);
    EXPECT_TRUE(IsWindow(session.sheet) && IsWindowVisible(session.sheet)) << "OK must not close the sheet";
    EXPECT_EQ(CurrentPage(session.sheet), page);
    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id()));

    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(OneActionAtATime, TabClickDuringADiagnosticTickIsRefused) {
    Open();
    HWND page = ShowPage(3, "Diagnóstico");
    ASSERT_NE(page, nullptr);
    HWND tab = nullptr;
    POINT calibrationTab = {};
    ASSERT_TRUE(SheetTabCentre(session.sheet, 2, &tab, &calibrationTab));
    sim.ClearLog();

    // A tick now (posted ahead of the click, so it runs first), and the click on "Calibração" inside it.
    PostMessageA(page, WM_TIMER, 1, 0);
    PostClick(tab, calibrationTab);
    const int reads = CountFrames(sim, kLiveRead);
    ASSERT_TRUE(WaitFor([&] { return CountFrames(sim, kLiveRead) >= reads + 3; }, 6000)) << "the ticks stopped";

    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id())) << "the Calibration page's notice or a time-out box";
    EXPECT_EQ(CurrentPage(session.sheet), page);
    EXPECT_EQ(CountFrames(sim, "0170") - CountFrames(sim, "01700004"), 0)
        << "the Calibration page read its values (the status word is read at 4)";
    EXPECT_EQ(WritesHeard(sim), 0);

    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(OneActionAtATime, ProcurarDuringAnApplyOnTheDiagnosticPageIsRefusedAndTheTicksGoOn) {
    Open();
    TypeText(session.ioPage, IDC_ALARM_HYSTERESIS, "3");  // a change, so that Apply is offered
    ASSERT_NE(ShowPage(1, "Comunicação"), nullptr);
    HWND communication = CurrentPage(session.sheet);
    HWND page = ShowPage(3, "Diagnóstico");
    ASSERT_NE(page, nullptr);
    sim.ClearLog();

    // The Apply click runs first; the click on the (hidden) "&Procurar" waits for the apply's transactions.
    PostClick(GetDlgItem(session.sheet, kApplyButton));
    PostClick(GetDlgItem(communication, IDC_COMM_SEARCH));
    ASSERT_TRUE(WaitFor([&] { return WritesHeard(sim) >= 9; }, 10000)) << "the apply did not write its steps";
    const int reads = CountFrames(sim, kLiveRead);
    EXPECT_TRUE(WaitFor([&] { return CountFrames(sim, kLiveRead) >= reads + 2; }, 6000))
        << "the page stays on screen after Apply, so its live reads must go on";

    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id())) << "the search's confirmation opened inside the apply";
    EXPECT_EQ(CountFrames(sim, "0003"), 0) << "search requests (address 0) were sent";
    EXPECT_EQ(sim.Get(1, 39), 3);
    EXPECT_EQ(CurrentPage(session.sheet), page);

    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

TEST_F(OneActionAtATime, FahrenheitClickDuringAnApplyChangesNothing) {
    Open();
    HWND io = session.ioPage;
    TypeText(io, IDC_ALARM_HYSTERESIS, "3");  // a change, so that Apply is offered
    const std::string lower = ControlText(io, IDC_LOWER_LIMIT);
    sim.ClearLog();

    // The Apply click runs first; the "°F" click is dispatched by the apply's turnaround waits.
    PostClick(GetDlgItem(session.sheet, kApplyButton));
    PostClick(GetDlgItem(io, IDC_UNIT_FAHRENHEIT));
    ASSERT_TRUE(WaitFor([&] { return WritesHeard(sim) >= 9; }, 10000)) << "the apply did not write its steps";
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(GetDlgItem(session.sheet, kApplyButton)); }, 5000))
        << "the apply did not end";

    EXPECT_TRUE(IsButtonChecked(io, IDC_UNIT_CELSIUS));
    EXPECT_FALSE(IsButtonChecked(io, IDC_UNIT_FAHRENHEIT)) << "the click changed the shown unit";
    EXPECT_EQ(ControlText(io, IDC_LOWER_LIMIT), lower) << "the limits were converted";
    EXPECT_EQ(sim.Get(1, 67), 0);
    EXPECT_EQ(sim.Get(1, 39), 3);
    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id()));

    // Outside an apply the same click is taken: the refusal above was no lost click.
    PostClick(GetDlgItem(io, IDC_UNIT_FAHRENHEIT));
    EXPECT_TRUE(WaitFor([&] { return IsButtonChecked(io, IDC_UNIT_FAHRENHEIT); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(session.sheet, kApplyButton)) != FALSE; }, 5000))
        << "a unit change offers Apply";

    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

}  // namespace
