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

TEST_F(IoPageReadFailure, ServiceModeGoesBackToTheMainWindowAndKeepsRunning) {
    constexpr WPARAM kMenuConfigSheet = 40031;
    constexpr WPARAM kMenuExit = 40003;
    SimClient sim(SimControlPortFromEnv());
    ASSERT_TRUE(sim.Connected());
    sim.Fault(1, "silent");
    WriteSettingsFile(kSimOnCom1);

    DriverProcess orvi = StartOrvi("QK");
    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);
    PostMenuCommand(window, kMenuConfigSheet);
    const SeenMessageBox box = WaitForMessageBoxWithin(orvi.Id(), kTwentyReadsMs);
    ASSERT_NE(box.window, nullptr) << "no read failure message";
    EXPECT_EQ(box.text, "Erro na leitura da configuração (Time-out)!\n\nExecute a Busca Automática do Orvi!");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    EXPECT_TRUE(WaitFor([&] { return CountDialogs(orvi.Id(), kSheetCaption) == 0; })) << "the sheet stays open";
    EXPECT_FALSE(orvi.WaitExit(500)) << "the service mode ended with the failed read";
    EXPECT_TRUE(IsWindowVisible(window) && Responds(window));
    EXPECT_FALSE(ShowsMessageBox(orvi.Id()));
    SaveScreenshot(window, "orvi-service-after-read-failure");

    // The transmitter answers again: the same menu now opens the sheet.
    sim.Fault(1, "none");
    PostMenuCommand(window, kMenuConfigSheet);
    HWND sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(sheet, nullptr);
    PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(WaitGone(sheet));

    RemoveSettingsFile();
    PostMenuCommand(window, kMenuExit);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(StoredSetting("Address"), "1") << "the settings are saved on the way out";
}

}  // namespace
