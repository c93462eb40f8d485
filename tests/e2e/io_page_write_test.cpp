// OK on the Input/Output page of Orvi.exe: every parameter written in order and read back, on the wire.
#include <gtest/gtest.h>

#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

void SetRegisters(SimClient& sim, const RegisterValues& values) {
    for (const auto& value : values) sim.Set(1, value.first, value.second);
}

using IoPageWrite = SheetOnSimulator;

TEST_F(IoPageWrite, OkWithoutChangesWritesAllNineRegistersInOrderEachReadBackAndTheTransmitterHoldsThem) {
    // Unit, input type (K), upper, lower, output (0-20 mA), alarm ("Valor mínimo"), set point, blocking, hysteresis.
    const RegisterValues shown = {{67, 0}, {43, 1},   {27, 1200}, {26, -100}, {61, 13},
                                  {35, 4}, {31, 250}, {50, 1},    {39, 7}};
    SetRegisters(sim, shown);
    Open();
    HWND page = session.ioPage;
    EXPECT_EQ(ComboSelection(page, IDC_INPUT_TYPE_LIST), PaddedName("Termopar K   (-150°C a 1370°C)", 38));
    EXPECT_TRUE(IsButtonChecked(page, IDC_UNIT_CELSIUS));
    EXPECT_EQ(ControlText(page, IDC_LOWER_LIMIT), "-100");
    EXPECT_EQ(ControlText(page, IDC_UPPER_LIMIT), "1200");
    EXPECT_EQ(ComboSelection(page, IDC_OUTPUT_TYPE_LIST), "0 a 20mA");
    EXPECT_EQ(ComboSelection(page, IDC_ALARM_FUNCTION_LIST), PaddedName("Valor mínimo", 29));
    EXPECT_EQ(ControlText(page, IDC_ALARM_SET_POINT), "250");
    EXPECT_EQ(ControlText(page, IDC_ALARM_HYSTERESIS), "7");
    EXPECT_TRUE(IsButtonChecked(page, IDC_ALARM_INITIAL_BLOCK));
    SaveScreenshot(session.sheet, "orvi-sheet-io");

    // The transmitter changes behind the page's back: only the writes can bring the shown values back.
    SetRegisters(sim, {{67, 1}, {43, 2}, {27, 300}, {26, -5}, {61, 14}, {35, 8}, {31, 0}, {50, 0}, {39, 1}});
    sim.ClearLog();
    PressButton(session.sheet, IDOK);
    ExpectSheetModeEnds();
    EXPECT_EQ(sim.Log(), WritesWithReadBack(1, shown));
    for (const auto& value : shown) EXPECT_EQ(sim.Get(1, value.first), value.second) << "register " << value.first;
}

TEST_F(IoPageWrite, WithoutAlarmFunctionOkWritesOnlyTheFirstSixAndLeavesTheAlarmRegisters) {
    sim.Set(1, 35, 0);
    Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(session.ioPage, IDC_ALARM_SET_POINT)));
    sim.Set(1, 31, 999);
    sim.ClearLog();
    PressButton(session.sheet, IDOK);
    ExpectSheetModeEnds();
    // The factory contents of orvi-sim: J at °C, 0..500, 4-20 mA.
    EXPECT_EQ(sim.Log(), WritesWithReadBack(1, {{67, 0}, {43, 0}, {27, 500}, {26, 0}, {61, 14}, {35, 0}}));
    EXPECT_EQ(sim.Get(1, 31), 999);
}

}  // namespace
