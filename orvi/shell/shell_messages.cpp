// Texts and captions of the shell's message boxes.
#include "shell/shell_messages.h"

void ReportPortFailure(HWND owner) {
    MessageBoxA(owner, "Não foi possível configurar a porta serial!", "Erro", MB_OK | MB_ICONEXCLAMATION);
}

void ReportMissingRunMode(HWND owner) {
    MessageBoxA(owner, "Execução realizada sem chave de código!", "Erro", MB_OK | MB_ICONEXCLAMATION);
}
