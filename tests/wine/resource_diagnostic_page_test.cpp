// Template 106 of Orvi.exe, the Diagnostic page: every control in template order, with its place.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"

namespace {

TEST(ResourceDiagnosticPage, ControlsInTemplateOrderWithTheirPlacesAndStyles) {
    DialogTemplate page = ShippedDialog("Orvi.exe", MAKEINTRESOURCEA(106));
    ExpectDialogFrame(page, {303, 183, "Diagnóstico"});
    const uint32_t kShownValue = kEditFieldStyle | ES_READONLY;
    // The status list keeps the order the page adds the conditions in; the offset spin stops at
    // its limits instead of wrapping round.
    const uint32_t kStatusList = WS_VSCROLL | CBS_AUTOHSCROLL | WS_TABSTOP;
    ExpectControlsInOrder(page, {
                                    {1136, ControlKind::Edit, "", kShownValue, 0, {16, 40, 30, 13}},
                                    {1164, ControlKind::StaticText, "XX", 0, 0, {53, 42, 13, 8}},
                                    {1163, ControlKind::StaticText, "XXXX", 0, 0, {75, 42, 21, 8}},
                                    {1152, ControlKind::DropDownList, "", kStatusList, CBS_SORT, {104, 40, 137, 55}},
                                    {1187, ControlKind::Edit, "", kEditFieldStyle, ES_READONLY, {246, 39, 24, 15}},
                                    {1165, ControlKind::UpDown, "Spin1", kSpinStyle, UDS_WRAP, {270, 39, 7, 14}},
                                    {-1, ControlKind::StaticText, "Status:", 0, 0, {105, 30, 40, 8}},
                                    {-1, ControlKind::StaticText, "Valor:", 0, 0, {19, 30, 22, 8}},
                                    {-1, ControlKind::StaticText, "Alarme:", 0, 0, {74, 30, 30, 8}},
                                    {-1, ControlKind::StaticText, "Unid:", 0, 0, {51, 30, 22, 8}},
                                    {-1, ControlKind::StaticText, "Número de Série:", 0, 0, {19, 97, 77, 8}},
                                    {-1, ControlKind::StaticText, "Versão de Firmware:", 0, 0, {19, 110, 77, 8}},
                                    {1185, ControlKind::Edit, "", kShownValue, 0, {98, 95, 45, 13}},
                                    {1186, ControlKind::Edit, "", kShownValue, 0, {98, 108, 45, 13}},
                                    {-1, ControlKind::StaticText, "Offset:", 0, 0, {248, 30, 28, 8}},
                                    {1188, ControlKind::StaticText, "", SS_RIGHT, 0, {87, 58, 190, 8}},
                                    {1222,
                                     ControlKind::StaticText,
                                     "Editando um arquivo, sem transmissor: não há valores ao vivo. O offset é o do "
                                     "arquivo e vai para ele com OK.",
                                     0,
                                     WS_VISIBLE,
                                     {19, 130, 258, 16}},
                                });
}

}  // namespace
