// "&Ler" in Orvi.exe's sheet on a bus of two transmitters: the second one's configuration on the Input/Output page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_message_box.h"
#include "driver_request_frames.h"
#include "resource.h"
#include "sheet_fixture.h"

namespace {

// Transmitter 2 at °F: K, -100..2000, 0-20 mA, "Sensor aberto ou em curto" at 500, hysteresis 4, blocked.
const RegisterValues kSecondTransmitter = {{67, 1}, {43, 1},   {27, 2000}, {26, -100}, {61, 13},
                                           {35, 1}, {31, 500}, {50, 1},    {39, 4}};

using CommunicationRead = SheetOnSimulator;

TEST_F(CommunicationRead, LerAtAnotherAddressFillsTheInputOutputPageOnceAndOkWritesBackToThatAddress) {
    ASSERT_EQ(sim.Command("add 2 9600"), "OK");
    for (const auto& value : kSecondTransmitter) sim.Set(2, value.first, value.second);
    Open();  // transmitter 1, factory contents: J at °C
    PostSelectPage(session.sheet, 1);
    HWND page = WaitForPage(session.sheet, "Comunicação");
    ASSERT_NE(page, nullptr);

    ASSERT_TRUE(ChooseComboEntry(page, IDC_COMM_NETWORK_ADDRESS, "2"));
    sim.ClearLog();
    PressButton(page, IDC_COMM_READ);
    const SeenMessageBox done = WaitForMessageBox(session.orvi.Id());
    ASSERT_NE(done.window, nullptr);
    EXPECT_EQ(done.caption, "Sucesso");
    EXPECT_EQ(done.text, "Configuração do Equipamento de endereço 2 lida com sucesso!");
    EXPECT_EQ(sim.Log(), std::vector<std::string>{RequestFrame(2, 3, 0, 68)});
    ASSERT_TRUE(AnswerMessageBox(done, IDOK));
    EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_ADDRESS), "2");
    EXPECT_EQ(ControlText(page, IDC_COMM_DEVICE_BAUD), "9600");
    EXPECT_EQ(StoredSetting("Address"), "2");

    PostSelectPage(session.sheet, 0);
    HWND io = WaitForPage(session.sheet, "Entrada/Saída");
    ASSERT_EQ(io, session.ioPage);
    // Refilled, not added to: each list holds its entries once, the input types in °F.
    EXPECT_EQ(ComboCount(io, IDC_INPUT_TYPE_LIST), 19);
    EXPECT_EQ(ComboItem(io, IDC_INPUT_TYPE_LIST, 0), PaddedName("Termopar J   (-166°F a 1400°F)", 38));
    EXPECT_EQ(ComboCount(io, IDC_OUTPUT_TYPE_LIST), 2);
    EXPECT_EQ(ComboCount(io, IDC_ALARM_FUNCTION_LIST), 7);
    EXPECT_EQ(ComboSelection(io, IDC_INPUT_TYPE_LIST), PaddedName("Termopar K   (-238°F a 2498°F)", 38));
    EXPECT_TRUE(IsButtonChecked(io, IDC_UNIT_FAHRENHEIT));
    EXPECT_FALSE(IsButtonChecked(io, IDC_UNIT_CELSIUS));
    EXPECT_EQ(ControlText(io, IDC_LOWER_LIMIT), "-100");
    EXPECT_EQ(ControlText(io, IDC_UPPER_LIMIT), "2000");
    EXPECT_EQ(ComboSelection(io, IDC_OUTPUT_TYPE_LIST), "0 a 20mA");
    EXPECT_EQ(ComboSelection(io, IDC_ALARM_FUNCTION_LIST), PaddedName("Sensor aberto ou em curto", 29));
    EXPECT_EQ(ControlText(io, IDC_ALARM_SET_POINT), "500");
    EXPECT_EQ(ControlText(io, IDC_ALARM_HYSTERESIS), "4");
    EXPECT_TRUE(IsButtonChecked(io, IDC_ALARM_INITIAL_BLOCK));

    // The sheet now works on transmitter 2: OK writes its configuration back there, and nothing to 1.
    sim.ClearLog();
    PressButton(session.sheet, IDOK);
    ExpectSheetModeEnds();
    EXPECT_EQ(sim.Log(), WritesWithReadBack(2, kSecondTransmitter));
}

}  // namespace
