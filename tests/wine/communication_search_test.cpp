// The automatic search of the Communication page over the real port against orvi-sim.
#include <algorithm>
#include "communication_page_fixture.h"
#include "comm_settings.h"
#include "resource.h"

namespace {

const char kConfirmSearch[] =
    "O Configurador iniciará a busca automática.\nCertifique-se que o Orvi não esteja conectado em uma rede!\n"
    "Iniciar busca?";

using CommunicationSearch = CommunicationPageTest;

TEST_F(CommunicationSearch, FindsATransmitterAt4800WithAnUnknownAddressAfterTryingTheFasterRates) {
    sim->Command("remove 1");
    sim->Command("add 57 4800");
    Open(1, 9600);
    Answer({IDOK, IDOK});
    Click(IDC_COMM_SEARCH);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, kConfirmSearch);
    EXPECT_EQ(boxes[0].caption, "Atenção");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONWARNING | MB_OKCANCEL));
    EXPECT_EQ(boxes[1].text, "Busca automática concluída!");
    EXPECT_EQ(boxes[1].caption, "Sucesso");
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(Garbled(), 6) << "three requests each at 19200 and 9600";
    const std::vector<std::string> heard = Heard();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].substr(0, 12), "000300080001") << "identity read at address 0";
    EXPECT_EQ(heard[1].substr(0, 12), "0003002C0001") << "address read at address 0";

    for (int id = IDC_COMM_RATE_1200; id <= IDC_COMM_RATE_19200; ++id)
        EXPECT_EQ(Checked(id), id == IDC_COMM_RATE_4800) << id;
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_BAUD), "4800");
    EXPECT_EQ(Selection(IDC_COMM_NETWORK_ADDRESS), "57");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "4800");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_ADDRESS), "57");
    EXPECT_EQ(commSettings.baudRate, 4800);
    EXPECT_EQ(commSettings.deviceAddress, 57);
    EXPECT_TRUE(Enabled(IDC_COMM_SEARCH));
    EXPECT_FALSE(SettingsFileExists()) << "the search itself saves nothing";
}

TEST_F(CommunicationSearch, CancelledConfirmationSendsNothing) {
    Open(1, 9600);
    Answer({IDCANCEL});
    Click(IDC_COMM_SEARCH);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kConfirmSearch);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(Garbled(), 0);
    EXPECT_EQ(commSettings.deviceAddress, 1);
    EXPECT_EQ(commSettings.baudRate, 9600);
}

TEST_F(CommunicationSearch, NothingFoundSendsFifteenRequestsAndLeavesHostAndControlsAsBefore) {
    sim->Fault(1, "silent");
    Open(1, 9600);
    Answer({IDOK, IDOK});
    Click(IDC_COMM_SEARCH);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Não foi possível comunicar com o Orvi!");
    EXPECT_EQ(boxes[1].caption, "Erro na Comunicação");
    EXPECT_EQ(static_cast<int>(Heard().size()) + Garbled(), 15);
    EXPECT_EQ(commSettings.deviceAddress, 1);
    EXPECT_EQ(commSettings.baudRate, 9600);
    EXPECT_TRUE(Checked(IDC_COMM_RATE_9600));
    EXPECT_EQ(Text(IDC_COMM_DEVICE_BAUD), "9600");
    EXPECT_EQ(Text(IDC_COMM_DEVICE_ADDRESS), "1");
    EXPECT_TRUE(Enabled(IDC_COMM_SEARCH));

    // The host is back at 9600, not left at 1200: the transmitter answers "&Ler" at once.
    sim->Fault(1, "none");
    sim->ClearLog();
    boxes.clear();
    Answer({IDOK});
    Click(IDC_COMM_READ);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Sucesso") << boxes[0].text;
    EXPECT_EQ(Heard().size(), 1u);
}

TEST_F(CommunicationSearch, ClicksDispatchedDuringTheSearchStartNoOtherAction) {
    sim->Fault(1, "silent");
    Open(1, 9600);
    // A click on "&Ler" waiting in the queue: the link's waits dispatch it mid-search.
    HWND read = GetDlgItem(page, IDC_COMM_READ);
    PostMessageA(read, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(read, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Answer({IDOK, IDOK, IDOK});
    Click(IDC_COMM_SEARCH);

    MSG left;
    ASSERT_FALSE(PeekMessageA(&left, read, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))
        << "the click was not dispatched during the search, so this test proves nothing";
    ASSERT_EQ(boxes.size(), 2u) << boxes.back().text;
    EXPECT_EQ(boxes[1].caption, "Erro na Comunicação");
    const std::vector<std::string> heard = Heard();
    EXPECT_TRUE(std::none_of(heard.begin(), heard.end(), [](const std::string& frame) {
        return frame.compare(2, 10, "0300000044") == 0;
    })) << "a configuration read went out";
    EXPECT_EQ(commSettings.deviceAddress, 1);
}

}  // namespace
