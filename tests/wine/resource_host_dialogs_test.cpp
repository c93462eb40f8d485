// The configurator's host communication dialog and its please-wait window, read from Orvi.exe.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"

namespace {

TEST(ResourceHostDialogs, HostCommunicationDialogOffersPortRateButtonsAndAddress)
{
    DialogTemplate comunic = ShippedDialog("Orvi.exe", "Comunic");
    ExpectDialogFrame(comunic, {157, 120, "Comunicação"});
    ExpectDialogStyle(comunic, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    ExpectControlsInAnyOrder(comunic, {
        {1, ControlKind::DefaultPushButton, "OK"},
        {2, ControlKind::PushButton, "Cancel"},
        {-1, ControlKind::StaticText, "Port:"},
        {1000, ControlKind::DropDownList, ""},
        {-1, ControlKind::GroupBox, "Baud Rate"},
        // One group of five: only the first button starts it.
        {1002, ControlKind::RadioButton, "&1200", WS_GROUP},
        {1003, ControlKind::RadioButton, "&2400", 0, WS_GROUP},
        {1004, ControlKind::RadioButton, "&4800", 0, WS_GROUP},
        {1005, ControlKind::RadioButton, "&9600", 0, WS_GROUP},
        {1006, ControlKind::RadioButton, "192&00", 0, WS_GROUP},
        {-1, ControlKind::StaticText, "Address:"},
        {1031, ControlKind::DropDownCombo, ""},
    });
}

TEST(ResourceHostDialogs, PleaseWaitWindowIsCreatedHiddenWithOneTextAndNoButton)
{
    DialogTemplate wait = ShippedDialog("Orvi.exe", "CxDlgComm");
    ExpectDialogFrame(wait, {219, 41, "Comunicação"});
    ExpectDialogStyle(wait, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ExpectControlsInAnyOrder(wait, {
        {-1, ControlKind::StaticText, "Tentando comunicação.    Aguarde..."},
    });
}

}  // namespace
