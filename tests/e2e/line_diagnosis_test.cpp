// Orvi.exe on a line with A and B swapped: a failed read names the probable cause, and the service
// window's "Diagnóstico da linha..." shows the doctor's verdict and copies it to the clipboard.
#include <gtest/gtest.h>

#include <string>

#include "driver_message_box.h"
#include "driver_process.h"
#include "driver_programs.h"
#include "driver_screenshot.h"
#include "driver_wait.h"
#include "driver_windows.h"
#include "e2e_fixture.h"
#include "live_sheet.h"
#include "resource.h"

namespace {

const char kDialogCaption[] = "Diagnóstico da linha";
const char kSwappedCause[] = "Provável causa: fios A e B invertidos";
// The doctor's look at one address and a short look at the other rates.
constexpr DWORD kLookMs = 20000;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool StartsWith(const std::string& text, const std::string& part) { return text.compare(0, part.size(), part) == 0; }

// The clipboard's text in CP1252, as the driver compares every text; "" when it holds none.
std::string ClipboardText() {
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; })) return "";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            const int size = WideCharToMultiByte(1252, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (size > 1) {
                text.resize(static_cast<size_t>(size));
                WideCharToMultiByte(1252, 0, wide, -1, &text[0], size, nullptr, nullptr);
                text.resize(static_cast<size_t>(size - 1));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool ButtonEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

class LineDiagnosis : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        sim_.Expect("line swapped on");
        WriteSettingsFile(kSimOnCom1);
    }
    // The dialog opened from the service window's menu; nullptr when it did not come.
    static HWND OpenDiagnosis(const DriverProcess& orvi) {
        HWND window = WaitForShownOrviWindow(orvi.Id());
        if (window == nullptr) return nullptr;
        PostMenuCommand(window, IDM_LINE_DIAGNOSIS);
        return WaitForDialog(orvi.Id(), kDialogCaption);
    }
    SimClient sim_{SimControlPortFromEnv()};
};

TEST_F(LineDiagnosis, FailedReadOnSwappedWiresNamesTheCause) {
    DriverProcess orvi = StartOrvi("QK");
    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);
    PostMenuCommand(window, IDM_CHANGE_HISTORY);  // reads the transmitter's configuration first
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr) << "no read failure message";
    EXPECT_EQ(box.caption, "Atenção");
    EXPECT_EQ(box.text,
              "Erro na leitura da configuração (Time-out)!\n\n"
              "Sem o número de série do Orvi o histórico não pode ser mostrado.\n\n" +
                  std::string(kSwappedCause));
    SaveScreenshot(box.window, "orvi-read-failure-swapped-wires");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    // The wires put right and the transmitter gone: the next failure names no cause the line no longer shows.
    sim_.Expect("line swapped off");
    sim_.Expect("remove 1");
    PostMenuCommand(window, IDM_CHANGE_HISTORY);
    const SeenMessageBox silent = WaitForMessageBox(orvi.Id());
    ASSERT_NE(silent.window, nullptr) << "no read failure message";
    EXPECT_EQ(silent.text,
              "Erro na leitura da configuração (Time-out)!\n\n"
              "Sem o número de série do Orvi o histórico não pode ser mostrado.");
    ASSERT_TRUE(AnswerMessageBox(silent, IDOK));
}

TEST_F(LineDiagnosis, DialogShowsTheVerdictAndCopiesIt) {
    DriverProcess orvi = StartOrvi("QK");
    HWND dialog = OpenDiagnosis(orvi);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(dialog, IDC_LINE_DIAGNOSIS_COPY); }, kLookMs))
        << "the look did not end: " << TextOf(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_STATE));
    const std::string text = TextOf(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_TEXT));
    EXPECT_TRUE(Contains(text, "Linha: COM1, endereço 1, 9600 bit/s\r\n")) << text;
    EXPECT_TRUE(Contains(text, std::string("\r\n") + kSwappedCause + "\r\n")) << text;
    EXPECT_TRUE(Contains(text, "\r\nEvidências:\r\n- ")) << text;
    EXPECT_TRUE(Contains(text, "\r\nO que fazer:\r\n")) << text;
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), "Fechar");
    EXPECT_TRUE(StartsWith(TextOf(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_STATE)), "Exame concluído em "));
    SaveScreenshot(dialog, "orvi-line-diagnosis");

    ASSERT_TRUE(WaitFor([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    CloseClipboard();
    PressButton(dialog, IDC_LINE_DIAGNOSIS_COPY);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == text; })) << ClipboardText();

    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Responds(WaitForShownOrviWindow(orvi.Id())));
}

// A look is stopped by Interromper: the click reaches the dialog through the link's wait.
TEST_F(LineDiagnosis, InterromperStopsTheLook) {
    DriverProcess orvi = StartOrvi("QK");
    HWND dialog = OpenDiagnosis(orvi);
    ASSERT_NE(dialog, nullptr);
    HWND stop = GetDlgItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return TextOf(stop) == "Interromper"; }));
    const DWORD start = GetTickCount();
    PostClick(stop);
    ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(dialog, IDC_LINE_DIAGNOSIS_COPY); }, kLookMs));
    EXPECT_LT(GetTickCount() - start, 3000u) << "the look went on after Interromper";
    EXPECT_TRUE(Contains(TextOf(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_TEXT)), "Diagnóstico interrompido"));
    EXPECT_TRUE(StartsWith(TextOf(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_STATE)), "Exame interrompido depois de "));
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog));
}

}  // namespace
