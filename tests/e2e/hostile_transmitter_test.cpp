// Orvi.exe against a transmitter reporting codes and values no catalogue knows: sound pages, and OK writes back
// nothing but the transmitter's own values; Cancel writes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

#include "driver_message_box.h"
#include "driver_screenshot.h"
#include "hostile_transmitter.h"
#include "resource.h"

namespace {

const char kCalibrationWrite[] = "0171";
// The apply's registers; the alarm's own three follow only when an alarm function is set.
const int kAlwaysApplied[] = {67, 43, 27, 26, 61, 35};
const int kAlarmApplied[] = {31, 50, 39};

// The word the apply must send for a register: the held word, except that the byte-sized fields (input and
// output type) travel as their low byte sign-extended.
int ExpectedWord(int reg, int heldWord) {
    if (reg == 43 || reg == 61) return static_cast<int8_t>(heldWord & 0xFF) & 0xFFFF;
    return heldWord & 0xFFFF;
}

// A tick of a live page that writes nothing leaves no trace to wait for, so the driver runs it itself.
void RunTick(HWND page) {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutA(page, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored), 0)
        << "the page did not finish a tick";
}

std::string Shot(const HostileCase& hostile, const char* page) {
    return std::string("orvi-hostile-") + hostile.name + "-" + page;
}

TEST_P(HostileTransmitter, EveryPageShowsSoundTextsAndOkWritesBackOnlyTheTransmittersOwnValues) {
    const HostileCase& hostile = GetParam();
    OpenSheet();
    ASSERT_FALSE(HasFatalFailure());

    HWND io = CurrentPage(sheet);
    EXPECT_EQ(ComboCount(io, IDC_INPUT_TYPE_LIST), 19);
    EXPECT_EQ(WithoutTrailingBlanks(ComboSelection(io, IDC_INPUT_TYPE_LIST)), hostile.inputType);
    EXPECT_EQ(ComboSelection(io, IDC_OUTPUT_TYPE_LIST), hostile.outputType);
    EXPECT_EQ(WithoutTrailingBlanks(ComboSelection(io, IDC_ALARM_FUNCTION_LIST)), hostile.alarmFunction);
    EXPECT_EQ(ControlText(io, IDC_LOWER_LIMIT), std::to_string(static_cast<int16_t>(HeldWord(26))));
    EXPECT_EQ(ControlText(io, IDC_UPPER_LIMIT), std::to_string(static_cast<int16_t>(HeldWord(27))));
    EXPECT_EQ(ControlText(io, IDC_ALARM_SET_POINT), std::to_string(static_cast<int16_t>(HeldWord(31))));
    EXPECT_EQ(ControlText(io, IDC_ALARM_HYSTERESIS), std::to_string(static_cast<int16_t>(HeldWord(39))));
    EXPECT_EQ(UnreadableControlTexts(io), "");
    SaveScreenshot(sheet, Shot(hostile, "io"));

    PostSelectPage(sheet, 1);
    HWND communication = WaitForPage(sheet, "Comunicação");
    ASSERT_NE(communication, nullptr);
    EXPECT_EQ(UnreadableControlTexts(communication), "");
    SaveScreenshot(sheet, Shot(hostile, "communication"));

    HWND calibration = ShowCalibrationPage();
    ASSERT_NE(calibration, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ControlText(calibration, IDC_CALIBRATION_ZERO) == hostile.zero; }))
        << ControlText(calibration, IDC_CALIBRATION_ZERO);
    EXPECT_EQ(ControlText(calibration, IDC_CALIBRATION_SPAN), hostile.span);
    RunTick(calibration);
    RunTick(calibration);
    EXPECT_EQ(ControlText(calibration, IDC_CALIBRATION_STATUS), "");
    EXPECT_EQ(UnreadableControlTexts(calibration), "");
    SaveScreenshot(sheet, Shot(hostile, "calibration"));

    HWND diagnostic = ShowDiagnosticPage();
    ASSERT_NE(diagnostic, nullptr);
    ASSERT_TRUE(WaitDiagnosticTicks(2));
    const std::string processValue = ControlText(diagnostic, IDC_DIAG_PROCESS_VALUE);
    if (hostile.processValue != nullptr)
        EXPECT_EQ(processValue, hostile.processValue);
    else
        EXPECT_TRUE(std::regex_match(processValue, std::regex("-?[0-9]+"))) << processValue;
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_UNIT), hostile.unitLabel);
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_SERIAL_NUMBER), hostile.serialNumber);
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_FIRMWARE), "1.11");
    // The transmitter's own offset, which no tick may have replaced.
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_OFFSET), std::to_string(sim.Get(1, 29)));
    std::vector<std::string> status;
    for (int i = 0; i < ComboCount(diagnostic, IDC_DIAG_STATUS_LIST); ++i)
        status.push_back(ComboItem(diagnostic, IDC_DIAG_STATUS_LIST, i));
    EXPECT_EQ(status, hostile.statusEntries);
    EXPECT_EQ(UnreadableControlTexts(diagnostic), "");
    SaveScreenshot(sheet, Shot(hostile, "diagnostic"));

    // Looking at the pages writes nothing, and the program waits for the user.
    EXPECT_TRUE(HeardRegisterWrites(sim).empty());
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), 0);
    ASSERT_TRUE(orvi.Running()) << "the program ended by itself";

    PressButton(sheet, IDOK);
    const bool ended = orvi.WaitExit(kWaitMs);
    if (!ended && ShowsMessageBox(orvi.Id())) {
        const SeenMessageBox box = WaitForMessageBox(orvi.Id());
        SaveScreenshot(box.window, Shot(hostile, "ok-refused"));
        FAIL() << "OK answered with \"" << box.caption << "\": " << box.text;
    }
    ASSERT_TRUE(ended) << "the sheet did not close on OK";
    EXPECT_EQ(orvi.ExitCode(), 0u);

    std::vector<std::pair<int, int>> expected;
    for (int reg : kAlwaysApplied) expected.emplace_back(reg, ExpectedWord(reg, HeldWord(reg)));
    if (HeldWord(35) != 0)
        for (int reg : kAlarmApplied) expected.emplace_back(reg, ExpectedWord(reg, HeldWord(reg)));
    std::vector<std::pair<int, int>> heard;
    for (const HeardWrite& write : HeardRegisterWrites(sim)) heard.emplace_back(write.reg, write.word);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), 0);
    for (int reg : kAlwaysApplied)
        EXPECT_EQ(sim.Get(1, reg) & 0xFFFF, ExpectedWord(reg, HeldWord(reg))) << "register " << reg;
}

TEST_P(HostileTransmitter, CancelAfterTheLivePagesWritesNothing) {
    OpenSheet();
    ASSERT_FALSE(HasFatalFailure());
    HWND calibration = ShowCalibrationPage();
    ASSERT_NE(calibration, nullptr);
    RunTick(calibration);
    RunTick(calibration);
    ASSERT_NE(ShowDiagnosticPage(), nullptr);
    // A tick runs whole before the Cancel click is handled, its offset step included.
    ASSERT_TRUE(WaitDiagnosticTicks(1));

    PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs)) << "the sheet did not close on Cancel";
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_TRUE(HeardRegisterWrites(sim).empty());
    EXPECT_EQ(CountFrames(sim, kCalibrationWrite), 0);
}

INSTANTIATE_TEST_SUITE_P(Catalogues, HostileTransmitter, ::testing::ValuesIn(HostileCases()), HostileCaseName);

}  // namespace
