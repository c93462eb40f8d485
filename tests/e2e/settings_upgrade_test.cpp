// An upgrade keeps the settings an earlier version left behind, wherever Windows put them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "driver_programs.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"

namespace {

using SettingsUpgrade = WithSimulator;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(SettingsUpgrade, TheVirtualisedCopyOfTheOldFileWinsOverTheWindowsDirectorysOwn) {
    // The Windows directory's file holds a rate the transmitter does not answer at; the copy that UAC
    // kept for the earlier program holds what that program last saved.
    const std::string windowsDirectory = "[Communication]\r\nAddress=1\r\nPort=COM7\r\nBaud=2400\r\n";
    const std::string virtualised = "[Communication]\r\nAddress=1\r\nPort=COM12\r\nBaud=9600\r\n";
    WriteOldSettingsFile(windowsDirectory);
    WriteVirtualStoreSettingsFile(virtualised);

    DriverProcess sheet = StartOrvi("CN");
    HWND shown = WaitForDialog(sheet.Id(), kSheetCaption);
    ASSERT_NE(shown, nullptr) << "no sheet: the transmitter on COM12 at 9600 was not reached";
    EXPECT_NE(WaitForPage(shown, "Entrada/Saída"), nullptr);
    PressButton(shown, IDCANCEL);
    ASSERT_TRUE(sheet.WaitExit(kWaitMs));
    EXPECT_EQ(StoredSetting("Port"), "COM12");
    EXPECT_EQ(StoredSetting("Baud"), "9600");
    EXPECT_EQ(FileText(VirtualStoreSettingsFilePath()), virtualised) << "the old copies are left as they were";
    EXPECT_EQ(FileText(OldSettingsFilePath()), windowsDirectory);
}

}  // namespace
