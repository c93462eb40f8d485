// The sheet's configuration files and journal: saved with the Save dialog and loaded by orvictl, opened
// onto the pages as edits that only OK writes, and every write journalled as Orvi.exe's.
#include <gtest/gtest.h>

#include <string>

#include "driver_paths.h"
#include "driver_process.h"
#include "driver_programs.h"
#include "driver_records.h"
#include "driver_request_frames.h"
#include "driver_screenshot.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

constexpr int kApplyNowButton = 0x3021;

// K at °C, -100..1200, 0-20 mA, alarm "Valor mínimo" at 250 blocked with hysteresis 7, offset 12.
const RegisterValues kConfigured = {{67, 0}, {43, 1},   {27, 1200}, {26, -100}, {61, 13},
                                    {35, 4}, {31, 250}, {50, 1},    {39, 7},    {29, 12}};

std::wstring FolderOfTheTest() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// orvictl.exe on the simulator's line (COM1, which Orvi.exe must not hold then); its exit code.
DWORD RunOrvictl(const std::string& arguments, const std::wstring& file) {
    char path[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, file.c_str(), -1, path, MAX_PATH, nullptr, nullptr);
    DriverProcess orvictl = DriverProcess::Start(
        CommandLine(DistFolder() + "\\orvictl.exe", "--port COM1 --baud 9600 " + arguments + " \"" + path + "\""));
    return orvictl.WaitExit(60000) ? orvictl.ExitCode() : 255;
}

class SheetFiles : public SheetOnSimulator {
protected:
    void Configure() {
        for (const auto& value : kConfigured) sim.Set(1, value.first, value.second);
    }
    void Command(UINT id) { PostMessageA(session.sheet, WM_SYSCOMMAND, id, 0); }
    bool ApplyEnabled() { return IsWindowEnabled(GetDlgItem(session.sheet, kApplyNowButton)) != FALSE; }
    SeenMessageBox Box() { return WaitForMessageBox(session.orvi.Id()); }
};

TEST_F(SheetFiles, SaveKeepsWhatTheTransmitterHoldsNotUnappliedEditsAndOrvictlLoadsItOntoAFactoryTransmitter) {
    Configure();
    ASSERT_EQ(sim.Command("add 2 9600"), "OK");
    Open();
    // An edit not applied: the file must still say what the transmitter holds.
    ASSERT_TRUE(ChooseComboEntry(session.ioPage, IDC_OUTPUT_TYPE_LIST, "4 a 20mA"));
    ASSERT_TRUE(WaitFor([&] { return ApplyEnabled(); }));
    // A name the ANSI code page cannot hold: only the wide dialog and file calls keep it.
    const std::wstring path = FolderOfTheTest() + L"ponto-\u03A9-TT101.ini";
    DeleteFileW(path.c_str());

    Command(IDM_SAVE_CONFIG_FILE);
    SeenMessageBox question = Box();
    EXPECT_NE(question.text.find("ainda não foram aplicadas"), std::string::npos) << question.text;
    ASSERT_TRUE(AnswerMessageBox(question, IDCANCEL));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel saved a file";

    Command(IDM_SAVE_CONFIG_FILE);
    ASSERT_TRUE(AnswerMessageBox(Box(), IDOK));
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Salvar configuração em arquivo", path));
    SeenMessageBox saved = Box();
    EXPECT_NE(saved.text.find("salva em"), std::string::npos) << saved.text;
    ASSERT_TRUE(AnswerMessageBox(saved, IDOK));
    const std::string file = ReadBytes(path);
    EXPECT_NE(file.find("saida = 13"), std::string::npos) << file;
    EXPECT_EQ(file.find("endereco"), std::string::npos) << "the address never travels in a file:\n" << file;
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();

    // orvictl reads what the configurator wrote (its wide-name handling is tested on its own).
    const std::wstring plain = FolderOfTheTest() + L"saved-by-orvi.ini";
    ASSERT_TRUE(CopyFileW(path.c_str(), plain.c_str(), FALSE));
    EXPECT_EQ(RunOrvictl("--address 2 load", plain), 0u);
    for (const auto& value : kConfigured)
        EXPECT_EQ(sim.Get(2, value.first), value.second) << "register " << value.first;
}

TEST_F(SheetFiles,
       AFileOrvictlSavedOpensAndWritesNothingUntilApplyWhichWritesItWithReadBacksJournalsEachWriteAndSavesWhatItWrote) {
    // The file orvictl saves from another transmitter configured so.
    ASSERT_EQ(sim.Command("add 2 9600"), "OK");
    for (const auto& value : kConfigured) sim.Set(2, value.first, value.second);
    const std::wstring path = FolderOfTheTest() + L"aberto.ini";
    DeleteFileW(path.c_str());
    ASSERT_EQ(RunOrvictl("--address 2 save --tag TT-102", path), 0u);
    Open();
    const size_t before = JournalLines().size();
    sim.ClearLog();
    Command(IDM_OPEN_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Abrir configuração de arquivo", path));
    ASSERT_TRUE(WaitFor([&] {
        return ComboSelection(session.ioPage, IDC_INPUT_TYPE_LIST) == PaddedName("Termopar K   (-150°C a 1370°C)", 38);
    }));
    EXPECT_EQ(ComboSelection(session.ioPage, IDC_OUTPUT_TYPE_LIST), "0 a 20mA");
    EXPECT_EQ(ControlText(session.ioPage, IDC_ALARM_HYSTERESIS), "7");
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_TRUE(sim.Log().empty()) << "the line was used before OK";

    PressButton(session.sheet, kApplyNowButton);
    ASSERT_TRUE(WaitFor([&] { return !ApplyEnabled(); }));
    EXPECT_EQ(sim.Log(), WritesWithReadBack(1, kConfigured));
    for (const auto& value : kConfigured)
        EXPECT_EQ(sim.Get(1, value.first), value.second) << "register " << value.first;
    // Saved after the apply: the file holds what the transmitter now holds.
    const std::wstring saved = FolderOfTheTest() + L"aplicado.ini";
    Command(IDM_SAVE_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Salvar configuração em arquivo", saved));
    ASSERT_TRUE(AnswerMessageBox(Box(), IDOK));
    const std::string file = ReadBytes(saved);
    EXPECT_NE(file.find("offset = 12"), std::string::npos) << file;
    EXPECT_NE(file.find("entrada = 1"), std::string::npos) << file;
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();

    const std::vector<std::string> journal = JournalLines();
    ASSERT_GE(journal.size(), before);
    const std::vector<std::string> lines(journal.begin() + static_cast<long>(before), journal.end());
    ASSERT_EQ(lines.size(), kConfigured.size());
    for (const std::string& line : lines) {
        EXPECT_NE(line.find("\"program\":\"Orvi.exe\",\"port\":\"COM1\",\"rate\":9600,\"address\":1"),
                  std::string::npos)
            << line;
        EXPECT_NE(line.find("\"tag\":\"TT-102\""), std::string::npos) << line;
        EXPECT_NE(line.find("\"result\":\"confirmado\""), std::string::npos) << line;
    }
    // The value before is the transmitter's, not the edit the page was about to write.
    EXPECT_NE(lines.back().find("\"key\":\"offset\",\"register\":29,\"before\":0,\"written\":12"), std::string::npos)
        << lines.back();
}

TEST_F(SheetFiles, AMalformedFileIsRefusedWithItsLineAndChangesNoPage) {
    const std::wstring path = FolderOfTheTest() + L"estragado.ini";
    WriteBytes(path, "[Orvi]\nentrada = abc\nsaida = 13\n");
    Open();
    const std::string shownType = ComboSelection(session.ioPage, IDC_INPUT_TYPE_LIST);
    sim.ClearLog();
    Command(IDM_OPEN_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Abrir configuração de arquivo", path));
    SeenMessageBox refused = Box();
    EXPECT_EQ(refused.caption, "Abrir configuração de arquivo");
    EXPECT_NE(refused.text.find("linha 2"), std::string::npos) << refused.text;
    EXPECT_NE(refused.text.find("Nada foi mudado nas páginas."), std::string::npos) << refused.text;
    ASSERT_TRUE(AnswerMessageBox(refused, IDOK));
    EXPECT_EQ(ComboSelection(session.ioPage, IDC_INPUT_TYPE_LIST), shownType);
    EXPECT_EQ(ComboSelection(session.ioPage, IDC_OUTPUT_TYPE_LIST), "4 a 20mA");
    EXPECT_FALSE(ApplyEnabled());
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
    EXPECT_TRUE(sim.Log().empty());
}

// A file's offset waits for OK (the Diagnostic page shows it), and it and the file's tag belong to that
// visit of the sheet: Cancel drops them, so the next sheet's OK writes no offset and names no tag.
TEST_F(SheetFiles, OpenedFromTheServiceWindowTheFileWaitsForOkAndCancelLeavesNothingOfItToTheNextSheet) {
    const std::wstring path = FolderOfTheTest() + L"servico.ini";
    // Besides the output type and the offset, a trim and an alarm value no write would carry.
    WriteBytes(path,
               "[Orvi]\ntag = TT-301\nsaida = 13\noffset = 12\nalarme_funcao = 0\nalarme_setpoint = 311\n"
               "zero_4a20 = 5\n");
    DriverProcess orvi = StartOrvi("QK");
    HWND window = WaitForShownOrviWindow(orvi.Id());
    ASSERT_NE(window, nullptr);
    sim.ClearLog();
    PostMenuCommand(window, IDM_OPEN_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(orvi.Id(), "Abrir configuração de arquivo", path));
    // What the file does not take is said before the sheet comes up.
    const SeenMessageBox notTaken = WaitForMessageBox(orvi.Id());
    EXPECT_EQ(notTaken.caption, "Abrir configuração de arquivo");
    EXPECT_NE(notTaken.text.find("calibração da saída (zero_4a20)"), std::string::npos) << notTaken.text;
    EXPECT_NE(notTaken.text.find("alarme_setpoint: não é escrito enquanto a função de alarme for 0"), std::string::npos)
        << notTaken.text;
    SaveScreenshot(notTaken.window, "orvi-file-not-taken");
    ASSERT_TRUE(AnswerMessageBox(notTaken, IDOK));
    session.sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(session.sheet, nullptr);
    session.ioPage = WaitForPage(session.sheet, "Entrada/Saída");
    ASSERT_NE(session.ioPage, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ComboSelection(session.ioPage, IDC_OUTPUT_TYPE_LIST) == "0 a 20mA"; }));
    EXPECT_TRUE(ApplyEnabled());
    PostSelectPage(session.sheet, 3);
    HWND diagnostic = WaitForPage(session.sheet, "Diagnóstico");
    ASSERT_NE(diagnostic, nullptr);
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_FILE_OFFSET), "offset do arquivo: 12, gravado com OK");
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_OFFSET), "0") << "the edit shows what the transmitter holds";
    SaveScreenshot(session.sheet, "orvi-diagnostic-file-offset");
    PressButton(session.sheet, IDCANCEL);
    EXPECT_TRUE(WaitGone(session.sheet));
    for (const std::string& frame : sim.Log()) EXPECT_NE(frame.substr(0, 4), "0106") << "written: " << frame;
    EXPECT_EQ(sim.Get(1, 61), 14);

    // The next visit of the sheet reads the transmitter afresh; its OK writes the page and nothing else.
    const size_t journalBefore = JournalLines().size();
    sim.ClearLog();
    PostMenuCommand(window, IDM_CONFIG_SHEET);
    session.sheet = WaitForDialog(orvi.Id(), kSheetCaption);
    ASSERT_NE(session.sheet, nullptr);
    ASSERT_NE(WaitForPage(session.sheet, "Entrada/Saída"), nullptr);
    PostMessageA(session.sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_TRUE(WaitGone(session.sheet));
    EXPECT_EQ(CountFrames(sim, "0106001D"), 0) << "the cancelled file's offset was written";
    EXPECT_EQ(sim.Get(1, 29), 0);
    const std::vector<std::string> journal = JournalLines();
    EXPECT_GT(journal.size(), journalBefore) << "the OK wrote nothing";
    for (const std::string& line : journal) EXPECT_EQ(line.find("TT-301"), std::string::npos) << line;
    PostMenuCommand(window, IDM_EXIT);
    EXPECT_TRUE(orvi.WaitExit(kWaitMs));
}

// While the file's offset waits, the user's own offset on the Diagnostic page takes its place.
TEST_F(SheetFiles, AnOffsetTypedOnTheDiagnosticPageReplacesTheFilesWaitingOffset) {
    const std::wstring path = FolderOfTheTest() + L"offset.ini";
    WriteBytes(path, "[Orvi]\noffset = 12\n");
    Open();
    Command(IDM_OPEN_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Abrir configuração de arquivo", path));
    ASSERT_TRUE(WaitFor([&] { return ApplyEnabled(); }));
    PostSelectPage(session.sheet, 3);
    HWND diagnostic = WaitForPage(session.sheet, "Diagnóstico");
    ASSERT_NE(diagnostic, nullptr);
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_FILE_OFFSET), "offset do arquivo: 12, gravado com OK");
    TypeText(diagnostic, IDC_DIAG_OFFSET, "5");
    ASSERT_TRUE(WaitFor([&] { return sim.Get(1, 29) == 5; })) << "the typed offset was not written";
    EXPECT_TRUE(WaitFor([&] { return ControlText(diagnostic, IDC_DIAG_FILE_OFFSET).empty(); }))
        << ControlText(diagnostic, IDC_DIAG_FILE_OFFSET);
    sim.ClearLog();
    PressButton(session.sheet, kApplyNowButton);
    ASSERT_TRUE(WaitFor([&] { return !ApplyEnabled(); }));
    EXPECT_EQ(CountFrames(sim, "0106001D"), 0) << "the file's offset was written over the typed one";
    EXPECT_EQ(sim.Get(1, 29), 5);
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_OFFSET), "5");
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

}  // namespace
