// "Diagnóstico da linha...": the line doctor's look at the configured port and address, its verdict,
// evidence and advice, and a copy of the whole text for a support request.
//
// The look runs on this thread, like every transaction of the configurator's line; the link's wait
// dispatches mouse messages, so a click on Interromper reaches the dialog while the look runs.
#include <windows.h>

#include <cstdio>
#include <string>

#include "link/comm_settings.h"
#include "link/line.h"
#include "link/line_doctor.h"
#include "resource.h"
#include "sheet/transmitter_action.h"
#include "shell/clipboard_text.h"
#include "shell/shell_dialogs.h"
#include "shell/shell_state.h"
#include "ui_text.h"

namespace {

constexpr UINT kStartLook = WM_APP + 1;
// How often the progress text counts on while the look runs.
constexpr ULONGLONG kProgressStepMs = 250;

// One dialog at a time (it is modal).
struct LookState {
    bool running = false;
    bool stopAsked = false;
    ULONGLONG startedMs = 0;
    ULONGLONG shownMs = 0;
};
LookState look;

std::string LineName() {
    char text[96];
    std::snprintf(text, sizeof text, "%s, endereço %d, %d bit/s", commSettings.portName,
                  static_cast<int>(commSettings.deviceAddress), static_cast<int>(commSettings.baudRate));
    return text;
}

// The verdict's heading: the cause in words, or what the look could not tell.
std::string Heading(const LineVerdict& verdict) {
    switch (verdict.cause) {
    case LineCause::kHealthy: return "A linha está saudável.";
    case LineCause::kUnknown: return "Nada do que a linha mostrou indica uma causa.";
    default: return std::string("Provável causa: ") + CauseWords(verdict.cause);
    }
}

// The whole text, as shown and as copied (CP1252, lines ended by CR LF as an edit control wants them).
std::string VerdictText(const LineVerdict& verdict, bool stopped) {
    std::string text = "Linha: " + LineName() + "\r\n";
    if (stopped) text += "Diagnóstico interrompido: o veredito se apoia só no que foi visto até então.\r\n";
    text += "\r\n" + Heading(verdict) + "\r\n";
    if (verdict.rateFound > 0) {
        text += "O transmissor responde a " + std::to_string(verdict.rateFound) + " bit/s.\r\n";
    }
    if (!verdict.evidence.empty()) {
        text += "\r\nEvidências:\r\n";
        for (const std::string& line : verdict.evidence) text += "- " + line + "\r\n";
    }
    if (!verdict.advice.empty()) text += "\r\nO que fazer:\r\n" + verdict.advice + "\r\n";
    return text;
}

void ShowProgress(HWND dialog) {
    const ULONGLONG now = GetTickCount64();
    if (now - look.shownMs < kProgressStepMs && look.shownMs != 0) return;
    look.shownMs = now;
    char text[160];
    std::snprintf(text, sizeof text, "Examinando a linha %s... %u s%s", LineName().c_str(),
                  static_cast<unsigned>((now - look.startedMs) / 1000), look.stopAsked ? " (interrompendo)" : "");
    SetItemText(dialog, IDC_LINE_DIAGNOSIS_STATE, text);
    // The link's wait dispatches only mouse input: the text is painted here, not by the dialog's loop.
    UpdateWindow(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_STATE));
}

void ShowResult(HWND dialog, const std::string& state, const std::string& text) {
    SetItemText(dialog, IDC_LINE_DIAGNOSIS_STATE, state.c_str());
    SetItemText(dialog, IDC_LINE_DIAGNOSIS_TEXT, text.c_str());
    EnableWindow(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_COPY), !text.empty());
    SetItemText(dialog, IDCANCEL, "Fechar");
}

void RunLook(HWND dialog) {
    Line& line = ConfiguratorLine();
    if (!line.Device().IsOpen()) {
        ShowResult(dialog,
                   std::string("A porta ") + commSettings.portName +
                       " não está aberta: escolha a porta em Configurar > Comunicação.",
                   "");
        return;
    }
    TransmitterAction action;
    if (action.Refused()) {
        ShowResult(dialog, "Outra operação fala com o transmissor: tente de novo quando ela terminar.", "");
        return;
    }
    look = LookState();
    look.running = true;
    look.startedMs = GetTickCount64();
    SetItemText(dialog, IDCANCEL, "Interromper");
    ShowProgress(dialog);
    const LineVerdict verdict = ExamineLine(line, commSettings.deviceAddress, [dialog] {
        ShowProgress(dialog);
        return look.stopAsked;
    });
    look.running = false;
    char state[96];
    std::snprintf(state, sizeof state,
                  look.stopAsked ? "Exame interrompido depois de %u s." : "Exame concluído em %u s.",
                  static_cast<unsigned>((GetTickCount64() - look.startedMs + 500) / 1000));
    ShowResult(dialog, state, VerdictText(verdict, look.stopAsked));
    // On Fechar rather than in the text, which would show its caret ahead of the first line.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)), TRUE);
}

void CopyText(HWND dialog) {
    wchar_t empty = 0;
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, IDC_LINE_DIAGNOSIS_TEXT));
    std::wstring text(static_cast<size_t>(length) + 1, empty);
    GetDlgItemTextW(dialog, IDC_LINE_DIAGNOSIS_TEXT, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    if (!PutTextOnClipboard(dialog, text)) {
        ShowMessage(dialog, "A área de transferência está ocupada por outro programa: tente de novo.",
                    "Diagnóstico da linha", MB_OK | MB_ICONWARNING);
    }
}

}  // namespace

INT_PTR CALLBACK LineDiagnosisProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));
        CenterDialog(dialog);
        SetItemText(dialog, IDC_LINE_DIAGNOSIS_STATE, ("Examinando a linha " + LineName() + "...").c_str());
        // After the dialog has shown itself: the look holds this thread for seconds.
        PostMessageW(dialog, kStartLook, 0, 0);
        return TRUE;
    case kStartLook:
        UpdateWindow(dialog);
        RunLook(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LINE_DIAGNOSIS_COPY: CopyText(dialog); return TRUE;
        case IDOK:
        case IDCANCEL:
            // Closing while the look runs would pull the dialog from under it: it is asked to stop instead.
            if (look.running) {
                look.stopAsked = true;
            } else {
                EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}
