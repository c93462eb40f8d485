// A write of the Input/Output page that the transmitter does not answer: Abort, Retry and Ignore in Orvi.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_message_box.h"
#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "sheet_fixture.h"

namespace {

// Three unanswered tries of one register write (nothing is read back after a missing echo).
std::vector<std::string> UnansweredWrites(int reg, int value) {
    return std::vector<std::string>(3, RequestFrame(1, 6, reg, value));
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class IoPageWriteFailure : public SheetOnSimulator {
protected:
    // The next register write goes unanswered three times; OK starts the writes.
    void OpenAndPressOkWithTheFirstWriteSilent() {
        Open();
        if (HasFatalFailure()) return;
        sim.ClearLog();
        sim.Fault(1, "silent", 3);
        PressButton(session.sheet, IDOK);
    }

    // The failure box of one step, checked for caption, text and buttons.
    SeenMessageBox ExpectFailureBox(const std::string& text) {
        const SeenMessageBox box = WaitForMessageBox(session.orvi.Id());
        EXPECT_NE(box.window, nullptr) << "no box for: " << text;
        EXPECT_EQ(box.caption, "Erro na escrita");
        EXPECT_EQ(box.text, text);
        EXPECT_TRUE(OffersAbortRetryIgnore(box.window));
        return box;
    }
};

TEST_F(IoPageWriteFailure, IgnoreGoesOnWithTheNextStepAndRetryWritesTheFailedStepAgain) {
    ASSERT_NO_FATAL_FAILURE(OpenAndPressOkWithTheFirstWriteSilent());
    const SeenMessageBox unitBox = ExpectFailureBox("Erro na escrita da Unidade de Temperatura (Time-out)");
    ASSERT_NE(unitBox.window, nullptr);
    sim.Set(1, 67, 1);  // the unit the page would write back, were its step not ignored
    SaveScreenshot(unitBox.window, "orvi-io-write-error");
    const std::vector<std::string> unitTries = UnansweredWrites(67, 0);
    EXPECT_EQ(sim.Log(), unitTries) << "the box must wait for an answer before anything else is sent";

    sim.Fault(1, "silent", 3);  // the input type fails next
    ASSERT_TRUE(AnswerMessageBox(unitBox, IDIGNORE));
    const SeenMessageBox typeBox = ExpectFailureBox("Erro na escrita do Tipo de Entrada (Time-out)");
    ASSERT_NE(typeBox.window, nullptr);
    const std::vector<std::string> typeTries = Joined(unitTries, UnansweredWrites(43, 0));
    EXPECT_EQ(sim.Log(), typeTries);

    ASSERT_TRUE(AnswerMessageBox(typeBox, IDRETRY));
    ExpectSheetModeEnds();
    // The factory contents of orvi-sim: J at °C, 0..500, 4-20 mA, "Valor máximo" at 300, hysteresis 2.
    EXPECT_EQ(sim.Log(),
              Joined(typeTries, WritesWithReadBack(
                                    1, {{43, 0}, {27, 500}, {26, 0}, {61, 14}, {35, 5}, {31, 300}, {50, 0}, {39, 2}})));
    EXPECT_EQ(sim.Get(1, 67), 1) << "the ignored step was written after all";
}

TEST_F(IoPageWriteFailure, AbortWritesNothingMore) {
    ASSERT_NO_FATAL_FAILURE(OpenAndPressOkWithTheFirstWriteSilent());
    const SeenMessageBox unitBox = ExpectFailureBox("Erro na escrita da Unidade de Temperatura (Time-out)");
    ASSERT_NE(unitBox.window, nullptr);
    ASSERT_TRUE(AnswerMessageBox(unitBox, IDABORT));
    ExpectSheetModeEnds();
    EXPECT_EQ(sim.Log(), UnansweredWrites(67, 0));
}

}  // namespace
