// The sheet's configuration files and journal: saved with the Save dialog and loaded by orvictl, opened
// onto the pages as edits that only OK writes, and every write journalled as Orvi.exe's.
#include <gtest/gtest.h>

#include <string>
#include <utility>

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

    // The service window, with the simulator's log cleared once it is up: from here on the line must stay quiet.
    HWND StartServiceWindow() {
        session.orvi = StartOrvi("QK");
        HWND window = WaitForShownOrviWindow(session.orvi.Id());
        sim.ClearLog();
        return window;
    }
    // The sheet on a file, opened from the service window's menu through the dialogs before it; its
    // Input/Output page in session.ioPage.
    bool WaitForDeskSheet(const std::string& fileName) {
        session.sheet =
            WaitForDialog(session.orvi.Id(), kSheetCaption + (" - " + fileName) + " (arquivo, sem transmissor)");
        if (session.sheet == nullptr) return false;
        session.ioPage = WaitForPage(session.sheet, "Entrada/Saída");
        return session.ioPage != nullptr;
    }
    // Another page of the sheet, once it shows.
    HWND DeskPage(int index, const char* caption) {
        PostSelectPage(session.sheet, index);
        return WaitForPage(session.sheet, caption);
    }
};

// The range of an up-down of another process (UDM_GETRANGE: 16-bit bounds, no pointer to marshal).
std::pair<int, int> SpinRange(HWND page, int spinId) {
    DWORD_PTR range = 0;
    SendMessageTimeoutA(GetDlgItem(page, spinId), UDM_GETRANGE, 0, 0, SMTO_ABORTIFHUNG, 3000, &range);
    return {static_cast<int16_t>(HIWORD(range)), static_cast<int16_t>(LOWORD(range))};
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

bool Holds(const std::string& text, const std::string& line) { return text.find(line + "\n") != std::string::npos; }

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

// A file prepared at the desk: the sheet on it from the service window edits it with the page's own rules
// and writes it on OK, keeping its tag and the lines people wrote, and the transmitter hears nothing.
TEST_F(SheetFiles, EditedAtTheDeskAWholeFileTakesTheAcceptedEditsKeepsItsOtherLinesAndTheLineStaysQuiet) {
    const std::wstring path = FolderOfTheTest() + L"mesa.ini";
    const std::string original =
        "# Preparado para a caldeira 2\n[Orvi]\ntag = TT-401\nentrada = 1\nunidade = 0\nlimite_inferior = -100\n"
        "limite_superior = 1200\nsaida = 13\nalarme_funcao = 4\nalarme_setpoint = 250\nalarme_histerese = 7\n"
        "alarme_bloqueio = 1\n# conferir com o projeto\noffset = 12\nzero_4a20 = 5\n";
    WriteBytes(path, original);
    // A file that leaves values to the transmitter is not opened: the pages would write values nobody chose.
    const std::wstring partial = FolderOfTheTest() + L"parcial.ini";
    WriteBytes(partial, "[Orvi]\nentrada = 1\nsaida = 13\n");
    HWND window = StartServiceWindow();
    ASSERT_NE(window, nullptr);
    PostMenuCommand(window, IDM_EDIT_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Editar arquivo de configuração", partial));
    SeenMessageBox incomplete = Box();
    EXPECT_EQ(incomplete.caption, "Editar arquivo de configuração");
    EXPECT_NE(incomplete.text.find("faltam valores: unidade, limite_inferior, limite_superior, alarme_funcao, "
                                   "alarme_setpoint, alarme_histerese, alarme_bloqueio, offset"),
              std::string::npos)
        << incomplete.text;
    EXPECT_NE(incomplete.text.find("O arquivo não foi aberto."), std::string::npos) << incomplete.text;
    ASSERT_TRUE(AnswerMessageBox(incomplete, IDOK));
    EXPECT_EQ(CountDialogs(session.orvi.Id(), kSheetCaption + std::string(" - parcial.ini (arquivo, sem transmissor)")),
              0);

    PostMenuCommand(window, IDM_EDIT_CONFIG_FILE);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Editar arquivo de configuração", path));
    ASSERT_TRUE(WaitForDeskSheet("mesa.ini"));
    EXPECT_EQ(ComboSelection(session.ioPage, IDC_INPUT_TYPE_LIST), PaddedName("Termopar K   (-150°C a 1370°C)", 38));
    EXPECT_EQ(ComboSelection(session.ioPage, IDC_ALARM_FUNCTION_LIST), PaddedName("Valor mínimo", 29));
    EXPECT_EQ(ControlText(session.ioPage, IDC_LOWER_LIMIT), "-100");
    EXPECT_EQ(ControlText(session.ioPage, IDC_ALARM_HYSTERESIS), "7");
    EXPECT_TRUE(IsControlVisible(session.ioPage, IDC_DESK_FILE_LABEL));
    char narrowPath[MAX_PATH] = {};
    WideCharToMultiByte(1252, 0, path.c_str(), -1, narrowPath, MAX_PATH, nullptr, nullptr);
    EXPECT_EQ(ControlText(session.ioPage, IDC_DESK_FILE_PATH), narrowPath);
    EXPECT_EQ(SpinRange(session.ioPage, IDC_UPPER_LIMIT_SPIN), std::make_pair(-150, 1370));
    SaveScreenshot(session.sheet, "orvi-desk-file-io");

    // Refused by the page's own rule, with its message: the sheet stays open and the file as it was.
    TypeText(session.ioPage, IDC_LOWER_LIMIT, "-151");
    PressButton(session.sheet, IDOK);
    SeenMessageBox refused = Box();
    EXPECT_EQ(refused.caption, "Inconsistência");
    EXPECT_EQ(refused.text, "O Limite Inferior não pode ser menor que o limite do sensor (-150°C)!");
    ASSERT_TRUE(AnswerMessageBox(refused, IDOK));
    EXPECT_TRUE(IsWindowVisible(session.sheet));
    EXPECT_EQ(ReadBytes(path), original);

    TypeText(session.ioPage, IDC_LOWER_LIMIT, "-50");
    ASSERT_TRUE(ChooseComboEntry(session.ioPage, IDC_OUTPUT_TYPE_LIST, "4 a 20mA"));
    ASSERT_TRUE(WaitFor([&] { return ApplyEnabled(); }));

    // What needs the line is disabled and says why; the offset is the file's and stays editable.
    HWND communication = DeskPage(1, "Comunicação");
    ASSERT_NE(communication, nullptr);
    EXPECT_TRUE(IsControlVisible(communication, IDC_PAGE_WITHOUT_LINE));
    EXPECT_FALSE(Enabled(communication, IDC_COMM_CONNECT));
    EXPECT_FALSE(Enabled(communication, IDC_COMM_SEARCH));
    SaveScreenshot(session.sheet, "orvi-desk-file-communication");
    HWND calibration = DeskPage(2, "Calibração");
    ASSERT_NE(calibration, nullptr);
    EXPECT_FALSE(ShowsMessageBox(session.orvi.Id())) << "the on-line trim's notice came up";
    EXPECT_EQ(ControlText(calibration, IDC_PAGE_WITHOUT_LINE),
              "Sem transmissor: a calibração da saída só se faz na linha.");
    EXPECT_FALSE(Enabled(calibration, IDC_CALIBRATION_ZERO_SPIN));
    SaveScreenshot(session.sheet, "orvi-desk-file-calibration");
    HWND diagnostic = DeskPage(3, "Diagnóstico");
    ASSERT_NE(diagnostic, nullptr);
    EXPECT_TRUE(IsControlVisible(diagnostic, IDC_PAGE_WITHOUT_LINE));
    EXPECT_FALSE(Enabled(diagnostic, IDC_DIAG_PROCESS_VALUE));
    EXPECT_FALSE(Enabled(diagnostic, IDC_DIAG_STATUS_LIST));
    EXPECT_EQ(ControlText(diagnostic, IDC_DIAG_OFFSET), "12");
    EXPECT_EQ(SpinRange(diagnostic, IDC_DIAG_OFFSET_SPIN), std::make_pair(-150, 1370));
    TypeText(diagnostic, IDC_DIAG_OFFSET, "15");
    SaveScreenshot(session.sheet, "orvi-desk-file-diagnostic");

    PressButton(session.sheet, IDOK);
    ASSERT_TRUE(WaitGone(session.sheet));
    const std::string written = ReadBytes(path);
    for (const char* line :
         {"limite_inferior = -50", "saida = 14", "offset = 15", "entrada = 1", "alarme_setpoint = 250", "tag = TT-401",
          "# Preparado para a caldeira 2", "# conferir com o projeto", "zero_4a20 = 5"})
        EXPECT_TRUE(Holds(written, line)) << line << " missing from:\n" << written;
    EXPECT_TRUE(sim.Log().empty()) << sim.Log().size() << " requests; the first: " << sim.Log().front();
    PostMenuCommand(window, IDM_EXIT);
    EXPECT_TRUE(session.orvi.WaitExit(kWaitMs));
}

// A new file: named before the sheet, written only by OK, with the chosen type's factory configuration.
TEST_F(SheetFiles, ANewFileHoldsTheChosenInputTypesFactoryConfigurationOnceOkWritesIt) {
    const std::wstring path = FolderOfTheTest() + L"novo-TT-501.ini";
    DeleteFileW(path.c_str());
    HWND window = StartServiceWindow();
    ASSERT_NE(window, nullptr);
    const std::string pt100 = PaddedName("Pt100   (-199.9°C a 530.0°C)", 38);
    for (int button : {IDCANCEL, IDOK}) {
        PostMenuCommand(window, IDM_NEW_CONFIG_FILE);
        HWND dialog = WaitForDialog(session.orvi.Id(), "Novo arquivo de configuração");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ComboCount(dialog, IDC_NEW_FILE_INPUT_TYPE), 19);
        ASSERT_TRUE(ChooseComboEntry(dialog, IDC_NEW_FILE_INPUT_TYPE, pt100));
        TypeText(dialog, IDC_NEW_FILE_TAG, " TT-501 ");
        if (button == IDOK) SaveScreenshot(dialog, "orvi-desk-new-file");
        PressButton(dialog, IDOK);
        std::string proposed;
        ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Novo arquivo de configuração", path, &proposed));
        EXPECT_EQ(proposed, "orvi-TT-501.ini");
        ASSERT_TRUE(WaitForDeskSheet("novo-TT-501.ini"));
        EXPECT_EQ(ComboSelection(session.ioPage, IDC_INPUT_TYPE_LIST), pt100);
        EXPECT_EQ(ControlText(session.ioPage, IDC_LOWER_LIMIT), "-1999");
        EXPECT_EQ(SpinRange(session.ioPage, IDC_LOWER_LIMIT_SPIN), std::make_pair(-1999, 5300));
        if (button == IDOK) SaveScreenshot(session.sheet, "orvi-desk-new-file-sheet");
        PressButton(session.sheet, button);
        ASSERT_TRUE(WaitGone(session.sheet));
        if (button == IDCANCEL) {
            EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel left a file";
        }
    }
    const std::string written = ReadBytes(path);
    for (const char* line : {"entrada = 6", "unidade = 0", "limite_inferior = -1999", "limite_superior = 5300",
                             "saida = 14", "alarme_funcao = 0", "alarme_setpoint = 5300", "alarme_histerese = 0",
                             "alarme_bloqueio = 0", "offset = 0", "tag = TT-501"})
        EXPECT_TRUE(Holds(written, line)) << line << " missing from:\n" << written;
    EXPECT_TRUE(sim.Log().empty()) << sim.Log().size() << " requests to the transmitter";
    PostMenuCommand(window, IDM_EXIT);
    EXPECT_TRUE(session.orvi.WaitExit(kWaitMs));
}

}  // namespace
