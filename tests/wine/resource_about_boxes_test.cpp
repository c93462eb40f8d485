// The About boxes of the configurator and of the launcher, read from the shipped programs.
#include <gtest/gtest.h>
#include "resource_dialog_checks.h"

namespace {

const uint32_t kModalBoxStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

TEST(ResourceAboutBoxes, ConfiguratorAboutBoxNamesTheProgramWithItsIconAndTheMakersContacts) {
    DialogTemplate about = ShippedDialog("Orvi.exe", "SOBRE");
    ExpectDialogFrame(about, {215, 106, "Sobre o Configurador"});
    ExpectDialogStyle(about, kModalBoxStyle);
    ExpectControlsInAnyOrder(about,
                             {
                                 {1, ControlKind::DefaultPushButton, "OK"},
                                 {-1, ControlKind::Icon, "Orvi"},
                                 {-1, ControlKind::StaticText, "Tavelo Configurador Orvi (R)"},
                                 {-1, ControlKind::StaticText, "Configuração de Parâmetros do Orvi"},
                                 // Developer credit, company name, e-mail and web address, in the maker's own wording.
                                 {-1, ControlKind::StaticText, nullptr},
                                 {-1, ControlKind::StaticText, nullptr},
                                 {-1, ControlKind::StaticText, nullptr},
                                 {-1, ControlKind::StaticText, nullptr},
                             });
}

TEST(ResourceAboutBoxes, LauncherAboutBoxIsFoundByTheNameSobreAndHasOkAndCancel) {
    DialogTemplate about = ShippedDialog("Configurador.exe", "Sobre");
    ExpectDialogFrame(about, {214, 119, "Sobre"});
    ExpectDialogStyle(about, kModalBoxStyle);
    const char* suiteLine = "Software para Configuração de Parâmetros dos produtos Tavelo (r)";
    ExpectControlsInAnyOrder(about, {
                                        {1, ControlKind::DefaultPushButton, "OK"},
                                        {2, ControlKind::PushButton, "Cancel"},
                                        {-1, ControlKind::Icon, "Configurador"},
                                        {-1, ControlKind::StaticText, "Configurador Tavelo"},
                                        {-1, ControlKind::StaticText, suiteLine},
                                        // Company name, web address and e-mail, in the maker's own wording.
                                        {-1, ControlKind::StaticText, nullptr},
                                        {-1, ControlKind::StaticText, nullptr},
                                        {-1, ControlKind::StaticText, nullptr},
                                    });
    // The suite line is too long for one line of the box: it must wrap onto a second one.
    for (const DialogControl& control : about.controls) {
        if (control.text.text != suiteLine) continue;
        uint32_t type = control.style & SS_TYPEMASK;
        EXPECT_TRUE(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) << "a static that does not wrap";
        EXPECT_GE(control.cy, 16) << "room for two lines of 8 dialog units";
    }
}

}  // namespace
