// The configurator's host communication dialog and its please-wait window, read from Orvi.exe.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"
#include "resource_rate_buttons.h"

namespace {

TEST(ResourceHostDialogs, HostCommunicationDialogOffersPortRateButtonsAndAddress) {
    DialogTemplate comunic = ShippedDialog("Orvi.exe", "Comunic");
    ExpectDialogFrame(comunic, {157, 120, "Comunicação"});
    ExpectDialogStyle(comunic, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    ExpectControlsInAnyOrder(comunic, WithRateButtons({
                                          {1, ControlKind::DefaultPushButton, "OK"},
                                          {2, ControlKind::PushButton, "Cancel"},
                                          {-1, ControlKind::StaticText, "Port:"},
                                          {1000, ControlKind::DropDownList, ""},
                                          {-1, ControlKind::GroupBox, "Baud Rate"},
                                          {-1, ControlKind::StaticText, "Address:"},
                                          {1031, ControlKind::DropDownCombo, ""},
                                      }));
}

TEST(ResourceHostDialogs, PleaseWaitWindowIsCreatedHiddenWithOneTextAndNoButton) {
    DialogTemplate wait = ShippedDialog("Orvi.exe", "CxDlgComm");
    ExpectDialogFrame(wait, {219, 41, "Comunicação"});
    ExpectDialogStyle(wait, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ExpectControlsInAnyOrder(wait, {
                                       {-1, ControlKind::StaticText, "Tentando comunicação.    Aguarde..."},
                                   });
}

}  // namespace
