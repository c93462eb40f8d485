// Inconsistent limits on the Input/Output page of Orvi.exe: the message, nothing written, the edit kept.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

using IoPageConsistency = SheetOnSimulator;

// OK with a limit the sheet must refuse: its message, then nothing on the wire.
void ExpectRefused(SimClient& sim, const SheetSession& session, const char* text, const char* screenshot) {
    sim.ClearLog();
    PressButton(session.sheet, IDOK);
    const SeenMessageBox box = WaitForMessageBox(session.orvi.Id());
    ASSERT_NE(box.window, nullptr) << "no message for: " << text;
    EXPECT_EQ(box.caption, "Inconsistência");
    EXPECT_EQ(box.text, text);
    if (screenshot != nullptr) SaveScreenshot(box.window, screenshot);
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(sim.Log().empty()) << sim.Log().size() << " requests after a refused apply";
}

TEST_F(IoPageConsistency, RefusedLimitsWriteNothingAndTheCorrectedPageIsWrittenByTheNextOk) {
    Open();  // J at °C (-110..760), 0..500, "Valor máximo" at 300
    TypeText(session.ioPage, IDC_LOWER_LIMIT, "600");
    ExpectRefused(sim, session, "O Limite Inferior não pode ser maior que o Limite Superior!", "orvi-io-inconsistency");
    // The sheet stays open with the user's edit, so that it can be corrected.
    ASSERT_TRUE(IsWindowVisible(session.sheet));
    EXPECT_EQ(ControlText(session.ioPage, IDC_LOWER_LIMIT), "600");

    TypeText(session.ioPage, IDC_LOWER_LIMIT, "-111");
    ExpectRefused(sim, session, "O Limite Inferior não pode ser menor que o limite do sensor (-110°C)!", nullptr);

    TypeText(session.ioPage, IDC_LOWER_LIMIT, "-110");  // the sensor's own limit passes
    sim.ClearLog();
    PressButton(session.sheet, IDOK);
    ExpectSheetModeEnds();
    EXPECT_EQ(sim.Get(1, 26), -110);
    EXPECT_EQ(sim.Log(),
              WritesWithReadBack(
                  1, {{67, 0}, {43, 0}, {27, 500}, {26, -110}, {61, 14}, {35, 5}, {31, 300}, {50, 0}, {39, 2}}));
}

}  // namespace
