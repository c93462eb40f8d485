// Configurador.exe: greying of missing programs, the starts, "&Exit" and the About box.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "driver_launcher.h"
#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_settings.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"

namespace {

using Launcher = WithSimulator;

// Entries of "&Ferramentas": &Gravlo, Orv&i, R&uvel / Tasko, Mi&rel.
constexpr size_t kToolsEntries = 4;

// The file a running process was started from, upper-cased, without its folder.
std::string ProgramFileOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return "";
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    const BOOL known = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    if (!known) return "";
    std::string name(path, size);
    name = name.substr(name.find_last_of('\\') + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

TEST_F(Launcher, MissingOrviGreysTheWholeOrviSubmenu) {
    const std::string folder = PrepareLauncherFolder("no-orvi", {"GRAVLO.EXE", "KOLBA.EXE", "MIREL.EXE"});
    // Started from a working folder that holds every program: only the launcher's own folder counts.
    const std::string elsewhere =
        PrepareLauncherFolder("working-folder", {"GRAVLO.EXE", "ORVI.EXE", "KOLBA.EXE", "MIREL.EXE"});
    DriverProcess launcher = StartLauncher(folder, elsewhere);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);
    HWND popup = OpenToolsMenu(window);
    ASSERT_NE(popup, nullptr);
    SaveScreenshot(popup, "launcher-tools-without-orvi");
    EXPECT_EQ(GreyedEntries(popup, kToolsEntries), (std::vector<bool>{false, true, false, false}));
    CloseMenus(window);
}

TEST_F(Launcher, MissingKolbaGreysOnlyRuvelTasko) {
    const std::string folder = PrepareLauncherFolder("no-kolba", {"GRAVLO.EXE", "ORVI.EXE", "MIREL.EXE"});
    DriverProcess launcher = StartLauncher(folder);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);
    SaveScreenshot(window, "launcher-main");
    HWND popup = OpenToolsMenu(window);
    ASSERT_NE(popup, nullptr);
    SaveScreenshot(popup, "launcher-tools-without-kolba");
    EXPECT_EQ(GreyedEntries(popup, kToolsEntries), (std::vector<bool>{false, false, true, false}));
    CloseMenus(window);
}

TEST_F(Launcher, AStartThatFailsIsReported) {
    const std::string folder = PrepareLauncherFolder("broken-orvi", {});
    std::ofstream(folder + "\\ORVI.EXE", std::ios::binary) << "not a program";
    DriverProcess launcher = StartLauncher(folder);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);
    PostMenuCommand(window, 40034);
    const SeenMessageBox box = WaitForMessageBox(launcher.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Erro");
    EXPECT_EQ(box.text, "Não foi possível iniciar ORVI.EXE!");
    SaveScreenshot(box.window, "launcher-start-failed");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(ChildProcesses(launcher.Id()).empty());
    PostMenuCommand(window, 40003);
    ASSERT_TRUE(launcher.WaitExit(kWaitMs));
}

TEST_F(Launcher, OrviConfiguradorStartsTheSheetModeAndExitLeavesItRunning) {
    const std::string folder = PrepareLauncherFolder("orvi-sheet", {"ORVI.EXE"});
    DriverProcess launcher = StartLauncher(folder);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);

    PostMenuCommand(window, 40034);
    HWND orviWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (orviWindow = AnyOrviWindow()) != nullptr; })) << "the configurator did not start";
    DriverProcess orvi = DriverProcess::OfWindow(orviWindow);
    ASSERT_TRUE(orvi.Valid());
    const std::vector<DWORD> children = ChildProcesses(launcher.Id());
    EXPECT_EQ(children, std::vector<DWORD>{orvi.Id()}) << "started by the launcher, and only once";
    EXPECT_TRUE(Responds(window)) << "the launcher must not wait for what it starts";

    // The sheet mode: a property sheet owned by the hidden main window, and no service-mode window.
    HWND sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(sheet, nullptr) << "no property sheet appeared";
    EXPECT_EQ(GetWindow(sheet, GW_OWNER), orviWindow);
    EXPECT_FALSE(IsWindowVisible(orviWindow));
    SaveScreenshot(sheet, "orvi-sheet-from-launcher");

    PostMenuCommand(window, 40003);
    ASSERT_TRUE(launcher.WaitExit(kWaitMs));
    EXPECT_EQ(launcher.ExitCode(), 0u);
    EXPECT_TRUE(orvi.Running()) << "closing the launcher must leave the configurator running";
}

TEST_F(Launcher, RuvelTaskoAndMirelStartNothingAndAboutIsCentred) {
    // Their files exist (copies of a real program), so a start by mistake would show as a child process.
    const std::string folder =
        PrepareLauncherFolder("all-present", {"GRAVLO.EXE", "ORVI.EXE", "KOLBA.EXE", "MIREL.EXE"});
    DriverProcess launcher = StartLauncher(folder);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);
    HWND popup = OpenToolsMenu(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GreyedEntries(popup, kToolsEntries), std::vector<bool>(kToolsEntries, false));
    CloseMenus(window);

    PostMenuCommand(window, 40032);
    PostMenuCommand(window, 40033);
    // The About box comes from a later command, so once it shows, both commands have been handled.
    PostMenuCommand(window, 40002);
    HWND about = WaitForDialog(launcher.Id(), "Sobre");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(ChildProcesses(launcher.Id()).empty());
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    std::string details;
    EXPECT_TRUE(IsCentredOverClientArea(about, window, &details)) << details;
    SaveScreenshot(about, "launcher-about");

    PressButton(about, IDCANCEL);
    ASSERT_TRUE(WaitGone(about));
    PostMenuCommand(window, 40003);
    ASSERT_TRUE(launcher.WaitExit(kWaitMs));
    EXPECT_EQ(launcher.ExitCode(), 0u);
}

TEST_F(Launcher, TheOtherStartEntriesRunTheirProgramInItsRunMode) {
    WriteSettingsFile(kSimOnCom1);
    // Both files are copies of the configurator, whose run mode shows which tail it was given.
    const std::string folder = PrepareLauncherFolder("starts", {"GRAVLO.EXE", "ORVI.EXE"});
    DriverProcess launcher = StartLauncher(folder);
    HWND window = WaitForLauncherWindow(launcher.Id());
    ASSERT_NE(window, nullptr);
    const struct {
        UINT menuId;
        const char* file;
        bool searchMode;  // "BA": the Communication dialog; "CF" is no run mode of the configurator
    } starts[] = {{40035, "ORVI.EXE", true}, {40036, "GRAVLO.EXE", false}, {40037, "GRAVLO.EXE", true}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.menuId);
        PostMenuCommand(window, start.menuId);
        std::vector<DWORD> children;
        // A child that has only just been created may not show its program file yet.
        ASSERT_TRUE(WaitFor([&] {
            children = ChildProcesses(launcher.Id());
            return children.size() == 1 && !ProgramFileOf(children[0]).empty();
        }));
        EXPECT_EQ(ProgramFileOf(children[0]), start.file);
        HWND shown = nullptr;
        if (start.searchMode) {
            shown = WaitForDialog(children[0], "Comunicação");
        } else {
            const SeenMessageBox box = WaitForMessageBox(children[0]);
            EXPECT_EQ(box.text, "Execução realizada sem chave de código!");
            shown = box.window;
        }
        ASSERT_NE(shown, nullptr);
        DriverProcess started = DriverProcess::OfWindow(shown);
        started.Terminate();
        ASSERT_TRUE(WaitFor([&] { return ChildProcesses(launcher.Id()).empty(); }));
    }
    PostMenuCommand(window, 40003);
    ASSERT_TRUE(launcher.WaitExit(kWaitMs));
}

}  // namespace
