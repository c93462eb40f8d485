// The Communication page fixture: the page on its template, COM1 on orvi-sim, scripted message boxes.
#include "communication_page_fixture.h"
#include <shlobj.h>
#include <cstdio>
#include <cstring>
#include "comm_settings.h"
#include "resource.h"
#include "serial_port.h"
#include "sheet/communication_page_controls.h"
#include "sheet/config_sheet.h"
#include "sheet/sheet_visit.h"
#include "shell/shell_sheet_host.h"
#include "shell/shell_state.h"
#include "ui_text.h"

namespace {

CommunicationPageTest* current = nullptr;
std::deque<int> answers;

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    if (current != nullptr) current->boxes.push_back(SeenBox{text, caption, type});
    if (answers.empty()) return IDCANCEL;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

// The user's own orvi.ini, where every save goes.
std::string SettingsFilePath() {
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Tavelo\\orvi.ini";
}

}  // namespace

void CommunicationPageTest::SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(NULL);
    hostClass.lpszClassName = "CommunicationPageTestHost";
    RegisterClassA(&hostClass);
}

void CommunicationPageTest::SetUp() {
    const int port = SimControlPortFromEnv();
    ASSERT_NE(port, 0) << "ORVI_SIM_CONTROL must name orvi-sim's control port (scripts/test sets it)";
    sim.reset(new SimClient(port));
    ASSERT_TRUE(sim->Connected());
    sim->Reset();
    current = this;
    answers.clear();
    communicationPageMessageBox = RecordBox;
    programInstance = GetModuleHandleA(NULL);
    DeleteFileA(SettingsFilePath().c_str());
}

void CommunicationPageTest::TearDown() {
    if (page != NULL && IsWindow(page)) DestroyWindow(page);
    if (host != NULL) DestroyWindow(host);
    visit.reset();
    ClosePort();
    communicationPageMessageBox = ShowMessage;
    current = nullptr;
    if (sim) sim->Reset();
}

void CommunicationPageTest::Open(uint8_t address, int32_t baud, bool standAlone) {
    std::strcpy(commSettings.portName, "COM1");
    commSettings.baudRate = baud;
    commSettings.deviceAddress = address;
    ClosePort();
    ASSERT_EQ(OpenPort(), 1) << "COM1 must lead to orvi-sim";
    host = CreateWindowA("CommunicationPageTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL,
                         GetModuleHandleA(NULL), NULL);
    ASSERT_NE(host, (HWND)NULL);
    visit.reset();
    visit.reset(new SheetVisit(ProgramSheetHost(), host, nullptr, standAlone));
    page = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_COMMUNICATION_PAGE), host,
                              CommunicationPageProc, 0);
    ASSERT_NE(page, (HWND)NULL);
    ShowWindow(page, SW_SHOW);
    Pump();
    sim->ClearLog();
}

void CommunicationPageTest::Answer(std::initializer_list<int> list) { answers.assign(list.begin(), list.end()); }

void CommunicationPageTest::Click(int id) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void CommunicationPageTest::Pump() {
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CommunicationPageTest::ChooseEntry(int listId, const std::string& text) {
    const LRESULT position = SendDlgItemMessageA(page, listId, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(position, CB_ERR) << text;
    SendDlgItemMessageA(page, listId, CB_SETCURSEL, position, 0);
}

void CommunicationPageTest::TypeAddress(const std::string& text) {
    SendDlgItemMessageA(page, IDC_COMM_NETWORK_ADDRESS, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetDlgItemTextA(page, IDC_COMM_NETWORK_ADDRESS, text.c_str());
}

std::string CommunicationPageTest::Text(int id) const {
    char text[64] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

std::string CommunicationPageTest::Selection(int listId) const {
    const LRESULT position = SendDlgItemMessageA(page, listId, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? "<none>" : Entry(listId, static_cast<int>(position));
}

std::string CommunicationPageTest::Entry(int listId, int index) const {
    char text[64] = "";
    SendDlgItemMessageA(page, listId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

int CommunicationPageTest::Count(int listId) const {
    return static_cast<int>(SendDlgItemMessageA(page, listId, CB_GETCOUNT, 0, 0));
}

bool CommunicationPageTest::Checked(int id) const { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
bool CommunicationPageTest::Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
bool CommunicationPageTest::Visible(int id) const {
    return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<std::string> CommunicationPageTest::Heard() { return sim->Log(); }

int CommunicationPageTest::Garbled() { return std::stoi(sim->Command("garbled").substr(3)); }

int CommunicationPageTest::WritesTo(int reg) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "06%04X", reg);
    int writes = 0;
    for (const std::string& frame : Heard())
        if (frame.compare(2, 6, prefix) == 0) ++writes;
    return writes;
}

bool CommunicationPageTest::SettingsFileExists() {
    return GetFileAttributesA(SettingsFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CommunicationPageTest::StoredSetting(const char* key) {
    char value[32] = "";
    GetPrivateProfileStringA("Communication", key, "<absent>", value, sizeof value, SettingsFilePath().c_str());
    return value;
}
