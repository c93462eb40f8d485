// The Communication page's controls, "&Conectar", "&Modificar", "&Ler", leaving the page and "&Fecha".
#include "communication_page_fixture.h"
#include "comm_settings.h"
#include "communication_address.h"
#include "config_snapshot.h"
#include "input_types.h"
#include "resource.h"
#include "sheet/io_page.h"

namespace {

using CommunicationPage = CommunicationPageTest;

TEST_F(CommunicationPage, StartsFromTheHostSettingsWithFechaHiddenInsideTheSheet) {
    Open(7, 4800);
    for (int id = IDC_COMM_RATE_1200; id <= IDC_COMM_RATE_19200; ++id)
        EXPECT_EQ(Checked(id), id == IDC_COMM_RATE_4800) << id;
    ASSERT_EQ(Count(IDC_COMM_PORT), 5);
    const char* ports[] = {"None", "COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Entry(IDC_COMM_PORT, i), ports[i]);
    EXPECT_EQ(Selection(IDC_COMM_PORT), "COM1");
    ASSERT_EQ(Count(IDC_COMM_NETWORK_BAUD), 5);
    const char* rates[] = {"19200", "9600", "4800", "2400", "1200"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Entry(IDC_COMM_NETWORK_BAUD, i), rates[i]);
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_BAUD), "4800");
    ASSERT_EQ(Count(IDC_COMM_NETWORK_ADDRESS), 247);
    EXPECT_EQ(Entry(IDC_COMM_NETWORK_ADDRESS, 0), "1");
    EXPECT_EQ(Entry(IDC_COMM_NETWORK_ADDRESS, 246), "247");
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_ADDRESS), "7");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "4800");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_ADDRESS), "7");
    EXPECT_FALSE(Visible(IDC_COMM_CLOSE));
    EXPECT_FALSE(Enabled(IDC_COMM_CLOSE));
}

TEST_F(CommunicationPage, StandAloneShowsFechaWhichClosesAndSaves) {
    Open(1, 9600, true);
    EXPECT_TRUE(Visible(IDC_COMM_CLOSE));
    EXPECT_TRUE(Enabled(IDC_COMM_CLOSE));
    Click(IDC_COMM_CLOSE);
    EXPECT_FALSE(IsWindowVisible(page)) << "the dialog has ended";
    EXPECT_EQ(StoredSetting("Baud"), "9600");
    EXPECT_EQ(StoredSetting("Address"), "1");
    EXPECT_EQ(StoredSetting("Port"), "COM1");
}

// Whether a request starting with prefix (hex) was heard.
bool HeardStart(const std::vector<std::string>& heard, const std::string& prefix) {
    for (const std::string& frame : heard)
        if (frame.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

TEST_F(CommunicationPage, ModifyingOnlyTheAddressWritesOnlyRegister44AndConfirmsAtTheNewAddress) {
    Open(1, 9600);
    ChooseEntry(IDC_COMM_NETWORK_ADDRESS, "9");
    Answer({IDYES, IDOK});
    Click(IDC_COMM_MODIFY);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Tem certeza que deseja modificar os parâmetros?");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
    EXPECT_EQ(boxes[1].caption, "Sucesso");
    EXPECT_EQ(boxes[1].text,
              "Parâmetros modificados e confirmados: o Equipamento responde no endereço 9 e baud rate 9600.");
    EXPECT_EQ(WritesTo(44), 1);
    EXPECT_EQ(WritesTo(45), 0);
    const std::vector<std::string> heard = Heard();
    EXPECT_TRUE(HeardStart(heard, "0106002C0009")) << "written at the old address";
    EXPECT_TRUE(HeardStart(heard, "0903002C0001")) << "confirmed at the new address";
    EXPECT_EQ(sim->Get(9, 44), 9);
    EXPECT_EQ(commSettings.deviceAddress, 9);
    EXPECT_EQ(Text(IDC_COMM_DEVICE_ADDRESS), "9");
    EXPECT_EQ(StoredSetting("Address"), "9");
}

TEST_F(CommunicationPage, ModifyingOnlyTheRateWritesRegister45AndTheHostFollowsSoThatLerWorks) {
    Open(1, 9600);
    ChooseEntry(IDC_COMM_NETWORK_BAUD, "2400");
    Answer({IDYES, IDOK});
    Click(IDC_COMM_MODIFY);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Sucesso");
    EXPECT_EQ(WritesTo(44), 0);
    EXPECT_TRUE(HeardStart(Heard(), "0106002D0001")) << "code 1 written at 9600";
    EXPECT_EQ(commSettings.baudRate, 2400);
    EXPECT_TRUE(Checked(IDC_COMM_RATE_2400));
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "2400");
    EXPECT_EQ(StoredSetting("Baud"), "2400");

    boxes.clear();
    Answer({IDOK});
    Click(IDC_COMM_READ);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Configuração do Equipamento de endereço 1 lida com sucesso!");
    EXPECT_EQ(boxes[0].caption, "Sucesso");
}

TEST_F(CommunicationPage, ModifyingNothingWritesNothingButSaves) {
    Open(1, 9600);
    Answer({IDYES});
    Click(IDC_COMM_MODIFY);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(Garbled(), 0);
    EXPECT_TRUE(SettingsFileExists());
    EXPECT_EQ(StoredSetting("Address"), "1");

    boxes.clear();
    Answer({IDNO});
    ChooseEntry(IDC_COMM_NETWORK_ADDRESS, "3");
    Click(IDC_COMM_MODIFY);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Heard().empty()) << "No writes nothing";
    EXPECT_EQ(commSettings.deviceAddress, 1);
}

TEST_F(CommunicationPage, AnAddressOutsideOneTo247IsRefusedByModifyAndRead) {
    Open(1, 9600);
    for (const char* typed : {"", "0", "248", "300", "12x", "abc"}) {
        for (int button : {IDC_COMM_MODIFY, IDC_COMM_READ}) {
            boxes.clear();
            TypeAddress(typed);
            Answer({IDYES, IDOK});
            Click(button);
            ASSERT_EQ(boxes.size(), 1u) << typed;
            EXPECT_EQ(boxes[0].text, kInvalidNetworkAddressMessage) << typed;
            EXPECT_TRUE(Enabled(button));
        }
    }
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(commSettings.deviceAddress, 1);
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(CommunicationPage, LerAtAnotherAddressFillsTheInputOutputPageWithThatTransmitter) {
    sim->Command("add 2 4800");
    sim->Set(2, 43, 1);  // thermocouple K
    sim->Set(2, 26, -150);
    sim->Set(2, 27, 1370);
    sim->Set(2, 61, 13);  // 0 a 20mA
    sim->Set(2, 35, 0);
    sim->Set(2, 67, 0);
    Open(1, 9600);
    HWND ioPage = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_IO_PAGE), host, IoPageProc, 0);
    ASSERT_NE(ioPage, (HWND)NULL) << "the Input/Output page reads transmitter 1 first";
    ASSERT_EQ(visit->ioPageWindow, ioPage);

    ChooseEntry(IDC_COMM_NETWORK_ADDRESS, "2");
    ChooseEntry(IDC_COMM_NETWORK_BAUD, "4800");
    Answer({IDOK});
    Click(IDC_COMM_READ);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Configuração do Equipamento de endereço 2 lida com sucesso!");
    EXPECT_EQ(commSettings.baudRate, 4800);
    EXPECT_TRUE(Checked(IDC_COMM_RATE_4800));
    EXPECT_EQ(Text(IDC_COMM_DEVICE_ADDRESS), "2");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "4800");
    EXPECT_EQ(StoredSetting("Address"), "2");

    EXPECT_EQ(SendDlgItemMessageA(ioPage, IDC_INPUT_TYPE_LIST, CB_GETCOUNT, 0, 0), 19);
    EXPECT_EQ(SendDlgItemMessageA(ioPage, IDC_OUTPUT_TYPE_LIST, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageA(ioPage, IDC_ALARM_FUNCTION_LIST, CB_GETCOUNT, 0, 0), 7);
    char text[64] = "";
    SendDlgItemMessageA(ioPage, IDC_INPUT_TYPE_LIST, CB_GETLBTEXT,
                        SendDlgItemMessageA(ioPage, IDC_INPUT_TYPE_LIST, CB_GETCURSEL, 0, 0),
                        reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, InputTypeCatalogue.celsiusNames[1]);
    GetDlgItemTextA(ioPage, IDC_LOWER_LIMIT, text, sizeof text);
    EXPECT_STREQ(text, "-150");
    EXPECT_EQ(visit->configSnapshot.outputType, 13);
    DestroyWindow(ioPage);
}

TEST_F(CommunicationPage, FailingLerNamesAddressAndRateAndKeepsThemUnsaved) {
    Open(1, 9600);
    ChooseEntry(IDC_COMM_NETWORK_ADDRESS, "3");
    ChooseEntry(IDC_COMM_NETWORK_BAUD, "19200");
    Answer({IDOK});
    Click(IDC_COMM_READ);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Erro na leitura da configuração do Equipamento de endereço 3 e baud rate 19200!\n\n"
              "Execute a Busca Automática do Orvi com o Equipamento ponto a ponto!");
    EXPECT_EQ(boxes[0].caption, "Atenção");
    EXPECT_EQ(commSettings.deviceAddress, 3);
    EXPECT_EQ(commSettings.baudRate, 19200);
    EXPECT_TRUE(Checked(IDC_COMM_RATE_19200));
    EXPECT_TRUE(Enabled(IDC_COMM_READ));
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(CommunicationPage, LeavingThePageRestoresEditedNetworkFields) {
    Open(5, 9600);
    ChooseEntry(IDC_COMM_NETWORK_BAUD, "1200");
    TypeAddress("33");
    PSHNOTIFY leaving = {};
    leaving.hdr.hwndFrom = host;
    leaving.hdr.code = PSN_KILLACTIVE;
    SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&leaving));
    EXPECT_EQ(GetWindowLongPtrA(page, DWLP_MSGRESULT), 0) << "leaving is always allowed";
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_BAUD), "9600");
    EXPECT_EQ(Text(IDC_COMM_NETWORK_ADDRESS), "5");
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(commSettings.deviceAddress, 5);
}

TEST_F(CommunicationPage, ConectarTakesRateAndPortAndASuccessfulOneOffersTheSearchAgain) {
    Open(1, 9600);
    EnableWindow(GetDlgItem(page, IDC_COMM_SEARCH), FALSE);  // as an earlier failed "&Conectar" leaves it
    CheckRadioButton(page, IDC_COMM_RATE_1200, IDC_COMM_RATE_19200, IDC_COMM_RATE_4800);
    Click(IDC_COMM_CONNECT);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(commSettings.baudRate, 4800);
    EXPECT_TRUE(Enabled(IDC_COMM_SEARCH));
    EXPECT_TRUE(Enabled(IDC_COMM_CONNECT));
    EXPECT_EQ(StoredSetting("Baud"), "4800");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "9600") << "the transmitter's fields stay as they were";
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_BAUD), "9600");
    EXPECT_EQ(sim->Command("speed"), "OK 4800");
}

}  // namespace
