// The records' commands of Orvi.exe reached through its menus: the history of changes from the sheet's
// system menu after an apply, and the commissioning report from the service window's "Arquivo" menu.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "driver_help_viewer.h"
#include "driver_launcher.h"
#include "driver_paths.h"
#include "driver_records.h"
#include "driver_screenshot.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

// orvi-sim's transmitter 1 gets this serial number: register 23 and 24 read one behind the other.
const char kSerial[] = "00123456";
void GiveSerialNumber(SimClient& sim) {
    sim.Set(1, 23, 12);
    sim.Set(1, 24, 3456);
}

// The two UTF-8 bytes of a Latin-1 letter (the CP1252 letters the tests use are Latin-1 ones).
std::string Latin1ToUtf8(unsigned char c) {
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

// A write orvictl journalled earlier, as it writes its lines (UTF-8; result given in CP1252).
std::string OrvictlLine(const std::string& time, const std::string& serial, const std::string& key, int reg, int before,
                        int written, const std::string& result) {
    std::string utf8;
    for (unsigned char c : result) utf8 += c < 0x80 ? std::string(1, static_cast<char>(c)) : Latin1ToUtf8(c);
    return "{\"time\":\"" + time + "\",\"user\":\"tecnico\",\"machine\":\"BANCADA\",\"program\":\"orvictl\"," +
           "\"port\":\"/dev/ttyUSB0\",\"rate\":9600,\"address\":1,\"serial\":\"" + serial + "\",\"tag\":\"\"," +
           "\"key\":\"" + key + "\",\"register\":" + std::to_string(reg) + ",\"before\":" + std::to_string(before) +
           ",\"written\":" + std::to_string(written) + ",\"result\":\"" + utf8 + "\"}\n";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// dd/mm/yyyy hh:mm:ss
bool IsLocalTimeText(const std::string& text) {
    const std::string shape = "00/00/0000 00:00:00";
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i]) return false;
    return true;
}

class RecordsOnTheSheet : public SheetOnSimulator {
protected:
    void SetUp() override {
        SheetOnSimulator::SetUp();
        RemoveJournal();
    }
};

TEST_F(RecordsOnTheSheet, AnApplyLeavesItsJournalLinesAndTheHistoryListsThisTransmittersNewestFirst) {
    GiveSerialNumber(sim);
    sim.Set(1, 35, 0);  // no alarm function: the apply writes six registers, none of the alarm's
    WriteJournal(OrvictlLine("2026-01-02T03:04:05Z", kSerial, "offset", 59, 0, 5, "CRC inválido") +
                 OrvictlLine("2026-01-02T03:05:00Z", "00999999", "saida", 61, 14, 13, "ok"));
    Open();
    HWND menu = OpenMenuByKey(session.sheet, ' ');
    ASSERT_NE(menu, nullptr) << "no system menu";
    SaveScreenshotWithPopup(session.sheet, menu, "orvi-sheet-system-menu");
    CloseMenus(session.sheet);

    TypeText(session.ioPage, IDC_UPPER_LIMIT, "400");
    PostMessageA(session.sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    // Unit, input type, upper and lower limit, output and alarm function (none: nothing after it).
    ASSERT_TRUE(WaitFor([] { return JournalLines().size() == 8; })) << JournalLines().size() << " journal lines";
    ASSERT_TRUE(WaitFor([&] { return sim.Get(1, 27) == 400; }));
    const std::vector<std::string> lines = JournalLines();
    for (size_t i = 2; i < lines.size(); ++i) {
        EXPECT_TRUE(Contains(lines[i], "\"program\":\"Orvi.exe\"")) << lines[i];
        EXPECT_TRUE(Contains(lines[i], std::string("\"serial\":\"") + kSerial + "\"")) << lines[i];
        EXPECT_TRUE(Contains(lines[i], "\"result\":\"confirmado\",\"outcome\":\"confirmado\"")) << lines[i];
    }

    PostMessageA(session.sheet, WM_SYSCOMMAND, IDM_CHANGE_HISTORY, 0);
    HWND history = WaitForDialog(session.orvi.Id(), "Histórico de alterações");
    ASSERT_NE(history, nullptr) << "no history dialog";
    // Wider than the sheet it is centred over, it still lies whole on the screen.
    RECT shown = {};
    GetWindowRect(history, &shown);
    EXPECT_TRUE(shown.left >= 0 && shown.top >= 0 && shown.right <= GetSystemMetrics(SM_CXSCREEN) &&
                shown.bottom <= GetSystemMetrics(SM_CYSCREEN))
        << shown.left << "," << shown.top << " to " << shown.right << "," << shown.bottom;
    const std::vector<std::vector<std::string>> rows = ListViewRows(GetDlgItem(history, IDC_HISTORY_LIST), 6);
    SaveScreenshot(history, "orvi-change-history");
    std::vector<std::string> keys, programs;
    for (const auto& row : rows) {
        keys.push_back(row[2]);
        programs.push_back(row[1]);
        EXPECT_TRUE(IsLocalTimeText(row[0])) << row[0];
    }
    // The apply's writes from the last back, then orvictl's older one; the other transmitter's is not shown.
    EXPECT_EQ(keys, (std::vector<std::string>{"alarme_funcao", "saida", "limite_inferior", "limite_superior", "entrada",
                                              "unidade", "offset"}));
    EXPECT_EQ(programs, (std::vector<std::string>{"Orvi.exe", "Orvi.exe", "Orvi.exe", "Orvi.exe", "Orvi.exe",
                                                  "Orvi.exe", "orvictl"}));
    if (rows.size() == 7) {
        EXPECT_EQ(rows[3],
                  (std::vector<std::string>{rows[3][0], "Orvi.exe", "limite_superior", "500", "400", "confirmado"}));
        EXPECT_EQ(rows[6], (std::vector<std::string>{rows[6][0], "orvictl", "offset", "0", "5", "CRC inválido"}));
    }
    EXPECT_TRUE(Contains(ControlText(history, IDC_HISTORY_NOTE), kSerial)) << ControlText(history, IDC_HISTORY_NOTE);
    PressButton(history, IDOK);
    EXPECT_TRUE(WaitGone(history));
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

// A second transmitter at 19200 bit/s, where a search finds it first: another unit, with its own serial
// number, firmware, upper limit and offset.
const char kOtherSerial[] = "07654321";
void PlaceAnotherTransmitterAt19200(SimClient& sim) {
    ASSERT_EQ(sim.Command("add 7 19200"), "OK");
    ASSERT_EQ(sim.Command("ident 7 7654321 105"), "OK");
    sim.Set(7, 27, 900);
    sim.Set(7, 29, 33);  // no apply writes the offset: it stays the transmitter's own
}

// The file the records' commands write, read whole (UTF-8).
std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST_F(RecordsOnTheSheet, AfterASearchMovesTheLineEveryRecordIsOfTheTransmitterFoundNeverOfTheOneReadBefore) {
    HelpViewerWindow browser;  // the report goes to the browser
    ASSERT_TRUE(browser.Valid());
    GiveSerialNumber(sim);
    sim.Set(1, 35, 0);  // no alarm function: an apply writes six registers
    ASSERT_NO_FATAL_FAILURE(PlaceAnotherTransmitterAt19200(sim));
    Open();  // the sheet reads transmitter 1

    PostSelectPage(session.sheet, 1);
    HWND page = WaitForPage(session.sheet, "Comunicação");
    ASSERT_NE(page, nullptr);
    PressButton(page, IDC_COMM_SEARCH);
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(session.orvi.Id()), IDOK));
    const SeenMessageBox found = WaitForMessageBox(session.orvi.Id());
    EXPECT_EQ(found.text, "Busca automática concluída!");
    ASSERT_TRUE(AnswerMessageBox(found, IDOK));
    ASSERT_EQ(ControlText(page, IDC_COMM_DEVICE_ADDRESS), "7");

    // The pages still show transmitter 1's configuration, and an apply writes it to transmitter 7:
    // no line of the journal may name transmitter 1 or give its values as the values before.
    PostMessageA(session.sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    ASSERT_TRUE(WaitFor([] { return JournalLines().size() == 6; })) << JournalLines().size() << " journal lines";
    ASSERT_TRUE(WaitFor([&] { return sim.Get(7, 27) == 500; }));
    for (const std::string& line : JournalLines()) {
        EXPECT_TRUE(Contains(line, "\"rate\":19200,\"address\":7")) << line;
        EXPECT_FALSE(Contains(line, kSerial)) << line;
        EXPECT_FALSE(Contains(line, "\"limite_superior\",\"register\":27,\"before\":500")) << line;
    }

    // Saved, then in the history and the report: the transmitter on the line now, read again.
    const std::string saved = ScratchFolder() + "\\depois-da-busca.ini";
    DeleteFileA(saved.c_str());
    PostMessageA(session.sheet, WM_SYSCOMMAND, IDM_SAVE_CONFIG_FILE, 0);
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(1252, 0, saved.c_str(), -1, widePath, MAX_PATH);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Salvar configuração em arquivo", widePath));
    const SeenMessageBox done = WaitForMessageBox(session.orvi.Id());
    EXPECT_TRUE(Contains(done.text, std::string("Configuração do transmissor ") + kOtherSerial)) << done.text;
    ASSERT_TRUE(AnswerMessageBox(done, IDOK));
    const std::string file = FileBytes(saved);
    EXPECT_TRUE(Contains(file, "7, 19200 bit/s")) << file;
    EXPECT_TRUE(Contains(file, kOtherSerial)) << file;
    EXPECT_TRUE(Contains(file, "offset = 33")) << file;
    EXPECT_FALSE(Contains(file, kSerial)) << file;

    PostMessageA(session.sheet, WM_SYSCOMMAND, IDM_CHANGE_HISTORY, 0);
    HWND history = WaitForDialog(session.orvi.Id(), "Histórico de alterações");
    ASSERT_NE(history, nullptr) << "no history dialog";
    EXPECT_TRUE(Contains(ControlText(history, IDC_HISTORY_NOTE), kOtherSerial))
        << ControlText(history, IDC_HISTORY_NOTE);
    PressButton(history, IDOK);
    ASSERT_TRUE(WaitGone(history));

    const std::string report = ScratchFolder() + "\\relatorio-depois-da-busca.html";
    DeleteFileA(report.c_str());
    PostMessageA(session.sheet, WM_SYSCOMMAND, IDM_COMMISSIONING_REPORT, 0);
    MultiByteToWideChar(1252, 0, report.c_str(), -1, widePath, MAX_PATH);
    ASSERT_TRUE(ChooseThroughFileDialog(session.orvi.Id(), "Salvar relatório de comissionamento", widePath));
    HelpRequest request;
    ASSERT_TRUE(browser.WaitForRequest(&request)) << "the browser was not asked to open the report";
    const std::string html = FileBytes(report);
    EXPECT_TRUE(Contains(html, kOtherSerial));
    EXPECT_FALSE(Contains(html, kSerial));
    PressButton(session.sheet, IDCANCEL);
    ExpectSheetModeEnds();
}

class RecordsInTheServiceWindow : public WithSimulator {
protected:
    void SetUp() override {
        WithSimulator::SetUp();
        WriteSettingsFile(kSimOnCom1);
        RemoveJournal();
        GiveSerialNumber(sim);
    }

    void StartServiceMode() {
        orvi = StartOrvi("QK");
        window = WaitForShownOrviWindow(orvi.Id());
        ASSERT_NE(window, nullptr);
    }

    SimClient sim{SimControlPortFromEnv()};
    DriverProcess orvi;
    HWND window = nullptr;
};

TEST_F(RecordsInTheServiceWindow, TheReportIsWrittenWhereTheUserSavesItAndOnlyAPageIsHandedToTheBrowser) {
    HelpViewerWindow browser;
    ASSERT_TRUE(browser.Valid());
    ASSERT_NO_FATAL_FAILURE(StartServiceMode());
    HWND menu = OpenMenuByKey(window, 'a');
    ASSERT_NE(menu, nullptr) << "no Arquivo menu";
    SaveScreenshotWithPopup(window, menu, "orvi-service-arquivo-menu");
    CloseMenus(window);

    const std::string path = ScratchFolder() + "\\relatório da bancada.html";
    DeleteFileA(path.c_str());
    PostMenuCommand(window, IDM_COMMISSIONING_REPORT);
    std::string proposed;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(1252, 0, path.c_str(), -1, widePath, MAX_PATH);
    ASSERT_TRUE(ChooseThroughFileDialog(orvi.Id(), "Salvar relatório de comissionamento", widePath, &proposed));
    EXPECT_EQ(proposed, std::string("relatorio-") + kSerial + ".html");
    HelpRequest request;
    ASSERT_TRUE(browser.WaitForRequest(&request)) << "the browser was not asked to open the report";
    // The file's URL: its folder as written, its name (with a blank and an accent) as the system escapes it.
    std::string folderUrl = "file:///" + ScratchFolder() + "/";
    for (char& c : folderUrl)
        if (c == '\\') c = '/';
    const std::string url = BrowserUrl(request);
    EXPECT_EQ(url.substr(0, folderUrl.size()), folderUrl) << url;
    EXPECT_TRUE(url.size() > 12 && url.compare(url.size() - 12, 12, "bancada.html") == 0) << url;

    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file.good()) << "no report at " << path;
    const std::string html((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(Contains(html, kSerial));
    EXPECT_TRUE(Contains(html, "<td>COM1</td>")) << "the line is not in the report";
    // The trims read from the transmitter (orvi-sim's factory output is 4 to 20 mA).
    EXPECT_TRUE(Contains(html, "ZERO (4 a 20 mA)")) << "the trims were not read";
    EXPECT_FALSE(Contains(html, "n&#227;o lidos"));
    // The local time with its UTC offset, which strftime's %z does not give under every Windows C library.
    EXPECT_TRUE(
        std::regex_search(html, std::regex("Emitido em \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d \\(UTC[+-]\\d{4}\\) por ")))
        << html.substr(0, 1200);

    // Saved under another type, the report is written but not opened: the type's program would run it.
    const std::string script = ScratchFolder() + "\\relatório.cmd";
    DeleteFileA(script.c_str());
    PostMenuCommand(window, IDM_COMMISSIONING_REPORT);
    MultiByteToWideChar(1252, 0, script.c_str(), -1, widePath, MAX_PATH);
    ASSERT_TRUE(ChooseThroughFileDialog(orvi.Id(), "Salvar relatório de comissionamento", widePath));
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr) << "no word that the report was not opened";
    EXPECT_EQ(box.caption, "Relatório de comissionamento");
    EXPECT_TRUE(Contains(box.text, "relatório.cmd")) << box.text;
    EXPECT_TRUE(Contains(box.text, "mas não foi aberto: só arquivos .htm ou .html vão ao navegador.")) << box.text;
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_FALSE(browser.WaitForRequest(&request, 1000)) << "handed to the browser: " << BrowserUrl(request);
    EXPECT_TRUE(std::ifstream(script).good()) << "the report was not written";
    PostMenuCommand(window, IDM_EXIT);
    EXPECT_TRUE(orvi.WaitExit(kWaitMs));
}

TEST_F(RecordsInTheServiceWindow, AReportOfATransmitterThatDoesNotAnswerSaysSoAndAsksForNoFile) {
    ASSERT_NO_FATAL_FAILURE(StartServiceMode());
    sim.Fault(1, "silent");
    PostMenuCommand(window, IDM_COMMISSIONING_REPORT);
    const SeenMessageBox box = WaitForMessageBox(orvi.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Atenção");
    EXPECT_TRUE(Contains(box.text, "Erro na leitura da configuração")) << box.text;
    EXPECT_TRUE(Contains(box.text, "Nenhum relatório foi gravado.")) << box.text;
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(FindTopLevel(orvi.Id(), "#32770", "Salvar relatório de comissionamento", true), nullptr);
    EXPECT_TRUE(Responds(window));
    PostMenuCommand(window, IDM_EXIT);
    EXPECT_TRUE(orvi.WaitExit(kWaitMs));
}

}  // namespace
