// "&Procurar" in Orvi.exe: a transmitter at 4800 baud with an unknown address, in the search mode and in the sheet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_message_box.h"
#include "driver_programs.h"
#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

const char kUnknownAddress[] = "23";

// Requests the simulator heard at a speed that no transmitter of the line uses.
int GarbledRequests(SimClient& sim) {
    const std::string reply = sim.Command("garbled");
    return reply.rfind("OK ", 0) == 0 ? std::stoi(reply.substr(3)) : -1;
}

class CommunicationSearch : public SheetOnSimulator {
protected:
    // Transmitter 1 leaves the line; one at 4800 baud with an address the host does not know takes its place.
    void MoveTheTransmitterTo4800() {
        sim.Command("remove 1");
        ASSERT_EQ(sim.Command(std::string("add ") + kUnknownAddress + " 4800"), "OK");
    }

    // Runs the confirmed search on the page and checks what it found and showed.
    void SearchAndExpectFoundAt4800(HWND page, DWORD processId) {
        const int garbledBefore = GarbledRequests(sim);
        sim.ClearLog();
        PressButton(page, IDC_COMM_SEARCH);
        const SeenMessageBox confirm = WaitForMessageBox(processId);
        ASSERT_NE(confirm.window, nullptr);
        EXPECT_EQ(confirm.caption, "Atenção");
        EXPECT_EQ(confirm.text,
                  "O Configurador iniciará a busca automática.\nCertifique-se que o Orvi não esteja conectado em uma "
                  "rede!\nIniciar busca?");
        ASSERT_TRUE(AnswerMessageBox(confirm, IDOK));

        const SeenMessageBox done = WaitForMessageBox(processId);
        ASSERT_NE(done.window, nullptr);
        EXPECT_EQ(done.caption, "Sucesso");
        EXPECT_EQ(done.text, "Busca automática concluída!");
        // Three tries at 19200 and three at 9600 went unheard; at 4800 the identity and the address were read.
        EXPECT_EQ(GarbledRequests(sim) - garbledBefore, 6);
        EXPECT_EQ(sim.Log(), (std::vector<std::string>{RequestFrame(0, 3, 8, 1), RequestFrame(0, 3, 44, 1)}));
        ASSERT_TRUE(AnswerMessageBox(done, IDOK));

        EXPECT_TRUE(IsButtonChecked(page, IDC_COMM_RATE_4800));
        EXPECT_FALSE(IsButtonChecked(page, IDC_COMM_RATE_9600));
        EXPECT_EQ(ComboSelection(page, IDC_COMM_NETWORK_BAUD), "4800");
        EXPECT_EQ(ComboSelection(page, IDC_COMM_NETWORK_ADDRESS), kUnknownAddress);
        EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_BAUD), "4800");
        EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_ADDRESS), kUnknownAddress);
    }

    void ExpectStoredFound() {
        EXPECT_EQ(StoredSetting("Address"), kUnknownAddress);
        EXPECT_EQ(StoredSetting("Baud"), "4800");
        EXPECT_EQ(StoredSetting("Port"), "COM1");
    }
};

TEST_F(CommunicationSearch, SearchModeFindsTheTransmitterAndClosingTheDialogSavesWhatItFound) {
    MoveTheTransmitterTo4800();
    DriverProcess orvi = StartOrvi("BA");
    HWND dialog = WaitForDialog(orvi.Id(), "Comunicação");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsControlVisible(dialog, IDC_COMM_CLOSE));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_COMM_CLOSE)));

    SearchAndExpectFoundAt4800(dialog, orvi.Id());
    SaveScreenshot(dialog, "orvi-search-mode-found");

    // The search itself saves nothing; the close box ends the dialog as "&Fecha" does, saving on the way.
    RemoveSettingsFile();
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(orvi.WaitExit(kWaitMs));
    EXPECT_EQ(orvi.ExitCode(), 0u);
    ExpectStoredFound();
}

TEST_F(CommunicationSearch, InsideTheSheetFechaIsHiddenAndTheSearchShowsItsFindOnThePage) {
    Open();
    PostSelectPage(session.sheet, 1);
    HWND page = WaitForPage(session.sheet, "Comunicação");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(IsControlVisible(page, IDC_COMM_CLOSE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COMM_CLOSE)));

    MoveTheTransmitterTo4800();
    SearchAndExpectFoundAt4800(page, session.orvi.Id());
    SaveScreenshot(session.sheet, "orvi-sheet-communication-found");

    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
    ExpectStoredFound();
}

}  // namespace
