// Saving the line's settings, said in a box when orvi.ini cannot be written.
#include "comm_settings_save.h"

#include "comm_settings.h"
#include "ui_text.h"

bool SaveCommSettingsOrReport(HWND owner) {
    if (SaveCommSettings()) return true;
    ShowMessage(owner, "Não foi possível gravar as configurações de comunicação (orvi.ini)!", "Erro",
                MB_OK | MB_ICONEXCLAMATION);
    return false;
}
