// Template 101 of Orvi.exe, the Input/Output page: every control in tab order, with its place.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"

namespace {

const uint32_t kList = WS_VSCROLL | WS_TABSTOP;

TEST(ResourceIoPage, ControlsInTabOrderWithTheirPlacesAndStyles) {
    DialogTemplate page = ShippedDialog("Orvi.exe", MAKEINTRESOURCEA(101));
    ExpectDialogFrame(page, {303, 183, "Entrada/Saída"});
    // The text edits take any text (the page reads them as numbers): no ES_NUMBER, not read-only.
    const uint32_t kFreeText = ES_NUMBER | ES_READONLY;
    ExpectControlsInOrder(
        page, {
                  {-1, ControlKind::StaticText, "Tipo de Entrada:", 0, 0, {8, 11, 85, 8}},
                  {1103, ControlKind::DropDownList, "", kList, 0, {95, 9, 140, 86}},
                  {1152, ControlKind::StaticText, "Unidade de Temperatura:", 0, 0, {8, 29, 98, 8}},
                  // The unit pair forms a group of its own, reached by the arrow keys, not by Tab.
                  {1066, ControlKind::AutoRadioButton, "°C (Celsius)", WS_GROUP, WS_TABSTOP, {109, 29, 56, 10}},
                  {1068, ControlKind::AutoRadioButton, "°F (Farenheit)", 0, WS_GROUP | WS_TABSTOP, {169, 29, 64, 10}},
                  {1117, ControlKind::StaticText, "Limite Inferior da Escala:", WS_GROUP, 0, {8, 48, 98, 8}},
                  {1153, ControlKind::Edit, "", kEditFieldStyle, kFreeText, {137, 46, 40, 14}},
                  {1157, ControlKind::UpDown, "", kSpinStyle, 0, {177, 46, 11, 14}},
                  {1118, ControlKind::StaticText, "Limite Superior da Escala:", 0, 0, {8, 65, 98, 8}},
                  {1154, ControlKind::Edit, "", kEditFieldStyle, kFreeText, {137, 63, 40, 14}},
                  {1158, ControlKind::UpDown, "", kSpinStyle, 0, {177, 63, 11, 14}},
                  {-1, ControlKind::StaticText, "Saída de Corrente:", 0, 0, {8, 85, 85, 8}},
                  {1104, ControlKind::DropDownList, "", kList, 0, {95, 83, 129, 86}},
                  {-1, ControlKind::GroupBox, "Relé de Alarme", 0, 0, {9, 99, 270, 63}},
                  {-1, ControlKind::StaticText, "Função:", 0, 0, {26, 112, 60, 8}},
                  {1105, ControlKind::DropDownList, "", kList, 0, {97, 109, 112, 86}},
                  {-1, ControlKind::StaticText, "Set Point:", 0, 0, {26, 129, 60, 8}},
                  {1106, ControlKind::Edit, "", kEditFieldStyle, kFreeText, {97, 126, 40, 15}},
                  {1148, ControlKind::UpDown, "", kSpinStyle, 0, {137, 127, 7, 14}},
                  {1155, ControlKind::AutoCheckBox, "Inicialmente bloqueado", WS_TABSTOP, 0, {97, 146, 110, 10}},
                  {-1, ControlKind::StaticText, "Histerese:", 0, 0, {173, 130, 40, 8}},
                  {1164, ControlKind::Edit, "", kEditFieldStyle, kFreeText, {215, 127, 40, 14}},
                  {1149, ControlKind::UpDown, "", kSpinStyle, 0, {255, 127, 7, 14}},
                  // Which file the page edits, shown only on a file.
                  {1220, ControlKind::StaticText, "Arquivo:", 0, WS_VISIBLE, {8, 168, 34, 8}},
                  {1221, ControlKind::StaticText, "", SS_PATHELLIPSIS | SS_NOPREFIX, WS_VISIBLE, {44, 168, 251, 8}},
              });
}

}  // namespace
