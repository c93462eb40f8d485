// Template 103 of Orvi.exe, the Communication page (also the stand-alone search dialog): its
// controls and the group box each of them sits in.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "resource_dialog_checks.h"
#include "resource_rate_buttons.h"

namespace {

// The controls whose top edge lies inside the group box with this text, sorted, each named by
// its id or, without one, by its text.
std::vector<std::string> MembersOf(const DialogTemplate& page, const std::string& boxText) {
    std::vector<std::string> members;
    for (const DialogControl& box : page.controls) {
        if (box.text.text != boxText) continue;
        for (const DialogControl& control : page.controls) {
            if (&control == &box) continue;
            bool inside = control.x >= box.x && control.x + control.cx <= box.x + box.cx && control.y >= box.y &&
                          control.y < box.y + box.cy;
            if (inside) members.push_back(control.id >= 0 ? "#" + std::to_string(control.id) : control.text.text);
        }
    }
    std::sort(members.begin(), members.end());
    return members;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

DialogTemplate CommunicationPage() { return ShippedDialog("Orvi.exe", MAKEINTRESOURCEA(103)); }

TEST(ResourceCommunicationPage, ControlsOfTheHostTransmitterAndNetworkGroupsAndTheHiddenCloseButton) {
    DialogTemplate page = CommunicationPage();
    ExpectDialogFrame(page, {293, 183, "Comunicação"});
    ExpectControlsInAnyOrder(page,
                             WithRateButtons({
                                 {-1, ControlKind::GroupBox, "Parâmetros do Host (PC)"},
                                 {-1, ControlKind::GroupBox, "Baud Rate"},
                                 {-1, ControlKind::StaticText, "Porta:"},
                                 {1000, ControlKind::DropDownList, ""},
                                 {4, ControlKind::PushButton, "&Conectar"},
                                 {-1, ControlKind::GroupBox, "Parâmetros do Orvi"},
                                 {-1, ControlKind::StaticText, "Baud Rate:"},
                                 {1192, ControlKind::Edit, "", ES_READONLY},
                                 {-1, ControlKind::StaticText, "Endereço:"},
                                 {1193, ControlKind::Edit, "", ES_READONLY},
                                 {1131, ControlKind::PushButton, "&Procurar"},
                                 {-1, ControlKind::GroupBox, "Operação em Rede"},
                                 {-1, ControlKind::StaticText, "Baud Rate:"},
                                 {1127, ControlKind::DropDownList, ""},
                                 {-1, ControlKind::StaticText, "Endereço:"},
                                 {1031, ControlKind::DropDownCombo, ""},
                                 {1129, ControlKind::PushButton, "&Modificar"},
                                 {1130, ControlKind::PushButton, "&Ler"},
                                 // Shown and enabled only when the template runs as the stand-alone search dialog.
                                 {1134, ControlKind::PushButton, "&Fecha", WS_DISABLED, WS_VISIBLE},
                                 // Shown only when the sheet edits a file.
                                 {1222, ControlKind::StaticText,
                                  "Editando um arquivo, sem transmissor: esta página muda a porta, a taxa e o "
                                  "endereço da linha, que não fazem parte do arquivo.",
                                  0, WS_VISIBLE},
                             }));
}

TEST(ResourceCommunicationPage, EachControlSitsInsideTheGroupBoxItBelongsTo) {
    DialogTemplate page = CommunicationPage();
    EXPECT_EQ(MembersOf(page, "Parâmetros do Host (PC)"),
              Sorted({"Baud Rate", "#1002", "#1003", "#1004", "#1005", "#1006", "Porta:", "#1000", "#4"}));
    EXPECT_EQ(MembersOf(page, "Baud Rate"), Sorted({"#1002", "#1003", "#1004", "#1005", "#1006"}));
    EXPECT_EQ(MembersOf(page, "Parâmetros do Orvi"), Sorted({"Baud Rate:", "#1192", "Endereço:", "#1193", "#1131"}));
    EXPECT_EQ(MembersOf(page, "Operação em Rede"),
              Sorted({"Baud Rate:", "#1127", "Endereço:", "#1031", "#1129", "#1130"}));
}

}  // namespace
