// A transmitter that reports codes and values no catalogue knows: the cases, and the driving shared by their tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "driver_process.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "sim_client.h"

// One hostile transmitter: what is stored in orvi-sim, and what the pages must show for it.
struct HostileCase {
    const char* name;
    std::vector<std::pair<int, int>> registers;  // holding register, word
    std::vector<std::pair<int, int>> privates;   // private value, word
    // Selections of the Input/Output lists, blanks at the end left out; "" when nothing may be selected.
    const char* inputType;
    const char* outputType;
    const char* alarmFunction;
    // The Calibration page's ZERO and SPAN texts.
    const char* zero;
    const char* span;
    // The Diagnostic page; processValue nullptr: the sweeping value, checked only for its form.
    const char* processValue;
    const char* unitLabel;
    const char* serialNumber;
    std::vector<std::string> statusEntries;
};

const std::vector<HostileCase>& HostileCases();

// A function 6 request as the transmitter heard it.
struct HeardWrite {
    int reg;
    int word;  // 0..65535
};

// The function 6 requests to address 1 in the simulator's log, in order.
std::vector<HeardWrite> HeardRegisterWrites(SimClient& sim);

// Texts a person can read: CP1252 letters, digits, signs and blanks, no control or undefined bytes.
bool IsPlainText(const std::string& text);
// Every child control of the page whose text is not plain, as "id: text" lines ("" when all are plain).
std::string UnreadableControlTexts(HWND page);

std::string WithoutTrailingBlanks(std::string text);

class HostileTransmitter : public WithSimulator, public ::testing::WithParamInterface<HostileCase> {
protected:
    void SetUp() override;

    // Starts Orvi.exe "CN" against the hostile transmitter and waits for its filled sheet.
    void OpenSheet();
    // Shows the Calibration page and answers its explanatory notice.
    HWND ShowCalibrationPage();
    HWND ShowDiagnosticPage();
    // Waits until the Diagnostic page has polled `ticks` more times (each poll reads the live block).
    bool WaitDiagnosticTicks(int ticks);
    // The words the transmitter holds in the registers an apply writes, before the sheet opened.
    int HeldWord(int reg) const;

    SimClient sim{SimControlPortFromEnv()};
    DriverProcess orvi;
    HWND sheet = nullptr;
    std::vector<std::pair<int, int>> held;
};

std::string HostileCaseName(const ::testing::TestParamInfo<HostileCase>& info);
