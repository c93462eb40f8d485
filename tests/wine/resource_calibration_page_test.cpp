// Template 105 of Orvi.exe, the Calibration page: every control in template order, with its place.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"

namespace {

TEST(ResourceCalibrationPage, ControlsInTemplateOrderWithTheirPlacesAndStyles) {
    DialogTemplate page = ShippedDialog("Orvi.exe", MAKEINTRESOURCEA(105));
    ExpectDialogFrame(page, {303, 183, "Calibração"});
    // The values change only through their spins, which stop at their limits.
    const uint32_t kShownValue = kEditFieldStyle | ES_READONLY;
    ExpectControlsInOrder(page,
                          {
                              {-1, ControlKind::StaticText, "ZERO:", 0, 0, {77, 120, 23, 8}},
                              {1159, ControlKind::Edit, "", kShownValue, 0, {68, 129, 33, 14}},
                              {1145, ControlKind::UpDown, "Spin1", kSpinStyle, UDS_WRAP, {100, 129, 7, 14}},
                              {-1, ControlKind::StaticText, "SPAN:", 0, 0, {181, 120, 22, 8}},
                              {1160, ControlKind::Edit, "", kShownValue, 0, {173, 129, 33, 14}},
                              {1146, ControlKind::UpDown, "Spin1", kSpinStyle, UDS_WRAP, {205, 129, 7, 14}},
                              {-1, ControlKind::StaticText, "Instruções de calibração:", 0, 0, {15, 6, 120, 8}},
                              {-1,
                               ControlKind::StaticText,
                               "1. Determinar a faixa de atuação (limites) na opção Configuração;",
                               0,
                               0,
                               {14, 20, 270, 8}},
                              {-1,
                               ControlKind::StaticText,
                               "2. Conectar um miliamperímetro na saída de corrente;",
                               0,
                               0,
                               {14, 33, 270, 8}},
                              {-1,
                               ControlKind::StaticText,
                               "3. Conectar um simulador de sinal na entrada do sensor;",
                               0,
                               0,
                               {14, 46, 270, 8}},
                              {-1,
                               ControlKind::StaticText,
                               "4. Simular o limite inferior da faixa a atuar no ajuste ZERO até obter indicação 4mA;",
                               0,
                               0,
                               {14, 59, 270, 16}},
                              {-1,
                               ControlKind::StaticText,
                               "5. Simular o limite superior da faixa e atuar no ajuste SPAN até obter indicação 20mA;",
                               0,
                               0,
                               {14, 80, 270, 16}},
                              {-1,
                               ControlKind::StaticText,
                               "6. Repetir os dois passos anteriores até não necessitar mais ajustes.",
                               0,
                               0,
                               {14, 101, 270, 8}},
                              {1162, ControlKind::Edit, "", kShownValue, 0, {15, 156, 269, 14}},
                              {1222,
                               ControlKind::StaticText,
                               "Sem transmissor: a calibração da saída só se faz na linha.",
                               0,
                               WS_VISIBLE,
                               {15, 146, 269, 8}},
                          });
}

}  // namespace
