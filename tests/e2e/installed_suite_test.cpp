// The suite as the Windows installer leaves it (run by tests/package/run, with the install folder as
// ORVI_E2E_DIST): the Start-menu shortcuts, and the launcher started from one of them.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "driver_launcher.h"
#include "driver_paths.h"
#include "driver_process.h"
#include "driver_wait.h"
#include "driver_screenshot.h"
#include "driver_windows.h"

namespace {

struct ShortcutFacts {
    std::string target;
    std::string arguments;
    std::string workingFolder;
};

std::string StartMenuFolder() {
    char programs[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs))) return "";
    return std::string(programs) + "\\Orvi";
}

// Reads a shortcut file as the shell does; false when it is missing or unreadable.
bool ReadShortcut(const std::string& path, ShortcutFacts* facts) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool read = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t widePath[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        char text[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            read = SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
            facts->target = text;
            link->GetArguments(text, MAX_PATH);
            facts->arguments = text;
            link->GetWorkingDirectory(text, MAX_PATH);
            facts->workingFolder = text;
        }
        file->Release();
    }
    link->Release();
    return read;
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string ProgramFileOf(const DriverProcess& process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.Id());
    if (handle == nullptr) return "";
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    const BOOL known = QueryFullProcessImageNameA(handle, 0, path, &size);
    CloseHandle(handle);
    return known ? std::string(path, size) : "";
}

class InstalledSuite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(InstalledSuite, ShortcutsStartEachProgramInTheInstallFolder) {
    const std::string folder = DistFolder();
    const std::string menu = StartMenuFolder();
    const struct {
        const char* shortcut;
        const char* program;
        const char* arguments;
    } expected[] = {
        {"Configurador Tavelo.lnk", "Configurador.exe", ""},
        {"Orvi Configurador.lnk", "Orvi.exe", "CN"},
        {"Orvi Busca Automática.lnk", "Orvi.exe", "BA"},
        {"Desinstalar.lnk", "Desinstalar.exe", ""},
    };
    for (const auto& entry : expected) {
        ShortcutFacts facts;
        ASSERT_TRUE(ReadShortcut(menu + "\\" + entry.shortcut, &facts)) << menu << "\\" << entry.shortcut;
        EXPECT_TRUE(SamePath(facts.target, folder + "\\" + entry.program)) << entry.shortcut << ": " << facts.target;
        EXPECT_EQ(facts.arguments, entry.arguments) << entry.shortcut;
        // The launcher looks for the programs in its working folder.
        EXPECT_TRUE(SamePath(facts.workingFolder, folder)) << entry.shortcut << ": " << facts.workingFolder;
    }
}

TEST_F(InstalledSuite, LauncherFromTheStartMenuOffersTheInstalledConfigurator) {
    SHELLEXECUTEINFOA start = {};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    start.lpVerb = "open";
    const std::string shortcut = StartMenuFolder() + "\\Configurador Tavelo.lnk";
    start.lpFile = shortcut.c_str();
    start.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&start)) << "error " << GetLastError();
    // The shell need not hand back the process of a shortcut's target; find the launcher by its window.
    if (start.hProcess != nullptr) CloseHandle(start.hProcess);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindWindowA("Configurador", "Configurador Tavelo")) != nullptr; }))
        << "the launcher did not open";
    DriverProcess launcher = DriverProcess::OfWindow(window);
    ASSERT_TRUE(launcher.Valid());
    EXPECT_TRUE(SamePath(ProgramFileOf(launcher), DistFolder() + "\\Configurador.exe"));

    HWND popup = OpenToolsMenu(window);
    ASSERT_NE(popup, nullptr);
    SaveScreenshot(popup, "installed-launcher-tools");
    // &Gravlo, Orv&i, R&uvel / Tasko, Mi&rel: only the configurator is installed beside the launcher.
    EXPECT_EQ(GreyedEntries(popup, 4), (std::vector<bool>{true, false, true, true}));
    CloseMenus(window);
    PostMenuCommand(window, 40003);
    EXPECT_TRUE(launcher.WaitExit(kWaitMs));
}

}  // namespace
