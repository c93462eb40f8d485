// Start-up of Orvi.exe: the single instance, the run-mode argument and the port found or not found.
#include <gtest/gtest.h>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"

namespace {

const char kPortFailure[] = "Não foi possível configurar a porta serial!";
const char kNoRunMode[] = "Execução realizada sem chave de código!";

// A visible window of the driver's own, to take the foreground away from the configurator.
class ForegroundThief {
public:
    ForegroundThief() {
        window_ = CreateWindowExA(0, "STATIC", "driver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window_);
    }
    ~ForegroundThief() { DestroyWindow(window_); }
    HWND Window() const { return window_; }

private:
    HWND window_;
};

using OrviSingleInstance = WithSimulator;

TEST_F(OrviSingleInstance, SecondStartEndsAtOnceWithoutSettingsOrPortAndRaisesTheFirst) {
    DriverProcess first = StartOrvi("QK");
    HWND firstWindow = WaitForShownOrviWindow(first.Id());
    ASSERT_NE(firstWindow, nullptr);
    SaveScreenshot(firstWindow, "orvi-service-main");

    // A second instance that read this file would not find COM9 and would stop at a message box.
    WriteSettingsFile("[Communication]\r\nAddress=1\r\nPort=COM9\r\nBaud=9600\r\n");
    const SettingsFile before = ReadSettingsFile();

    ForegroundThief thief;
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == thief.Window(); }));

    for (const char* tail : {"QK", "CN", "BA", "xx", ""}) {
        DriverProcess second = StartOrvi(tail);
        ASSERT_TRUE(second.Valid());
        ASSERT_TRUE(second.WaitExit(kWaitMs)) << "second start with '" << tail << "' did not end by itself";
        EXPECT_EQ(second.ExitCode(), 0u) << "argument '" << tail << "'";
    }
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == firstWindow; }))
        << "the first instance was not brought to the foreground";
    EXPECT_EQ(ReadSettingsFile().bytes, before.bytes);
    EXPECT_TRUE(first.Running());
}

TEST_F(OrviSingleInstance, SecondStartRaisesTheSheetOrSearchDialogNotTheHiddenMainWindow) {
    struct FirstStart {
        const char* tail;
        const char* caption;
    };
    for (const FirstStart& start : {FirstStart{"CN", kSheetCaption}, FirstStart{"BA", "Comunicação"}}) {
        WriteSettingsFile(kSimOnCom1);
        DriverProcess first = StartOrvi(start.tail);
        HWND shown = WaitForDialog(first.Id(), start.caption);
        ASSERT_NE(shown, nullptr) << start.tail;

        ForegroundThief thief;
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == thief.Window(); }));
        DriverProcess second = StartOrvi("CN");
        ASSERT_TRUE(second.WaitExit(kWaitMs)) << start.tail;
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == shown; }))
            << "after '" << start.tail << "' the window on screen was not brought to the front";
        first.Terminate();
    }
}

using OrviRunModeArgument = WithSimulator;

TEST_F(OrviRunModeArgument, UnknownOrMissingArgumentShowsTheMessageAndLeavesSettingsUntouched) {
    struct Case {
        const char* tail;
        bool withFile;
    };
    for (const Case& c : {Case{"cn", true}, Case{"CN ", true}, Case{"", true}, Case{"", false}}) {
        SCOPED_TRACE(std::string("argument '") + c.tail + (c.withFile ? "' with orvi.ini" : "' without orvi.ini"));
        if (c.withFile)
            WriteSettingsFile(kSettingsCom1At4800);
        else
            RemoveSettingsFile();
        const SettingsFile before = ReadSettingsFile();

        DriverProcess orvi = StartOrvi(c.tail);
        const SeenMessageBox box = WaitForMessageBox(orvi.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Erro");
        EXPECT_EQ(box.text, kNoRunMode);
        EXPECT_EQ(GetWindow(box.window, GW_OWNER), FindTopLevel(orvi.Id(), "ORVI", nullptr, false))
            << "the message belongs to the hidden main window";
        if (c.withFile && std::string(c.tail) == "cn") SaveScreenshot(box.window, "orvi-no-run-mode");
        ASSERT_TRUE(AnswerMessageBox(box, IDOK));
        ASSERT_TRUE(orvi.WaitExit(kWaitMs));
        EXPECT_EQ(orvi.ExitCode(), 0u);

        const SettingsFile after = ReadSettingsFile();
        EXPECT_EQ(after.exists, before.exists);
        EXPECT_EQ(after.bytes, before.bytes);
    }
}

using OrviStoredPortNone = WithSimulator;

TEST_F(OrviStoredPortNone, NextStartScansAndTakesTheFirstPortThatOpens) {
    WriteSettingsFile("[Communication]\r\nAddress=1\r\nPort=None\r\nBaud=9600\r\n");
    DriverProcess orvi = StartOrvi("QK");
    const SeenMessageBox notice = WaitForMessageBox(orvi.Id());
    ASSERT_NE(notice.window, nullptr);
    EXPECT_EQ(notice.caption, "Porta Serial");
    EXPECT_EQ(notice.text, "Porta configurada: COM1");
    SaveScreenshot(notice.window, "orvi-port-notice");
    ASSERT_TRUE(AnswerMessageBox(notice, IDOK));

    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ShowsMessageBox(orvi.Id())) << "the port opened, so no failure may be reported";
    PostMenuCommand(window, 40003);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(StoredSetting("Port"), "COM1");
}

using OrviWithoutPorts = WithoutPorts;

TEST_F(OrviWithoutPorts, StartReportsThePortThenRunsTheModeAndStoresNone) {
    DriverProcess orvi = StartOrvi("QK");
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Erro");
    EXPECT_EQ(box.text, kPortFailure);
    SaveScreenshot(box.window, "orvi-port-failure");
    EXPECT_FALSE(IsWindowVisible(FindTopLevel(orvi.Id(), "ORVI", nullptr, false)))
        << "the run mode must not start before the message is answered";
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr) << "the service mode did not run after the message";
    PostMenuCommand(window, 40003);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    EXPECT_EQ(StoredSetting("Port"), "None");
    EXPECT_EQ(StoredSetting("Baud"), "9600");
    EXPECT_EQ(StoredSetting("Address"), "1");
}

}  // namespace
