// Orvi.exe's sheet mode on a transmitter that never answers: twenty reads, the message, the program's end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "driver_sheet.h"
#include "e2e_fixture.h"
#include "live_sheet.h"

namespace {

// Twenty reads of three tries, each try waiting 424 ms at 9600 bit/s: about 25 s, with room to spare.
constexpr DWORD kTwentyReadsMs = 45000;

using IoPageReadFailure = WithSimulator;

TEST_F(IoPageReadFailure, SilentTransmitterEndsTheProgramAfterTwentyReadsOfThreeTries) {
    SimClient sim(SimControlPortFromEnv());
    ASSERT_TRUE(sim.Connected());
    sim.Fault(1, "silent");
    WriteSettingsFile(kSimOnCom1);

    DriverProcess orvi = StartOrvi("CN");
    const SeenMessageBox box = WaitForMessageBoxWithin(orvi.Id(), kTwentyReadsMs);
    ASSERT_NE(box.window, nullptr) << "no read failure message";
    EXPECT_EQ(box.caption, "Atenção");
    EXPECT_EQ(box.text, "Erro na leitura da configuração (Time-out)!\n\nExecute a Busca Automática do Orvi!");
    EXPECT_EQ(CountDialogs(orvi.Id(), kSheetCaption), 0) << "the sheet showed without a configuration";
    SaveScreenshot(box.window, "orvi-io-read-failure");
    EXPECT_EQ(sim.Log(), std::vector<std::string>(60, RequestFrame(1, 3, 0, 68)));

    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(orvi.WaitExit(kWaitMs)) << "the program goes on after the read failure";
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(sim.Log().size(), 60u);
}

}  // namespace
