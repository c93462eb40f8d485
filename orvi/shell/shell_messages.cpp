// Texts and captions of the shell's message boxes.
#include "shell/shell_messages.h"

#include "ui_text.h"

void ReportPortFailure(HWND owner) {
    ShowMessage(owner, "Não foi possível configurar a porta serial!", "Erro", MB_OK | MB_ICONEXCLAMATION);
}

void ReportMissingRunMode(HWND owner) {
    ShowMessage(owner, "Execução realizada sem chave de código!", "Erro", MB_OK | MB_ICONEXCLAMATION);
}
