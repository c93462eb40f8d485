// The Diagnostic page's one-second poll: process value and alarm, the offset write, the status word.
#include "diagnostic_page.h"
#include "config_snapshot.h"
#include "live_diagnostic_texts.h"
#include "live_failure_text.h"
#include "live_offset_tick.h"
#include "resource.h"
#include "sheet_visit.h"
#include "transmitter_action.h"
#include "transactions.h"
#include "ui_text.h"

namespace {

const int8_t kIndicationOffsetRegister = 29;
const int kProcessValueWord = 1;
const int kStateWord = 6;

// False when the live block could not be read; the offset waits for a tick that reached the transmitter.
bool ShowLiveValues(HWND page) {
    uint16_t block[kLiveBlockWords] = {};
    if (ReadLiveBlock(block) != kLinkOk) {
        ForgetTransmitterRead();  // whatever answers later may be another transmitter
        SetItemText(page, IDC_DIAG_PROCESS_VALUE, "????");
        return false;
    }
    const int16_t processValue = static_cast<int16_t>(block[kProcessValueWord]);
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    SetItemText(page, IDC_DIAG_PROCESS_VALUE, ProcessValueText(processValue, s.inputType).c_str());
    s.alarmOutputOn = block[kStateWord] & 1u;
    ShowAlarmMnemonic(page);
    return true;
}

// Writes a changed offset. The prompt of a failed write is modal and lets later ticks run; the busy
// flag keeps them from starting a second write or a second prompt. False when the user gave up the
// write, which ends the tick.
bool WriteChangedOffset(HWND page, TransmitterAction& action) {
    SheetVisit& visit = *CurrentVisit();
    ConfigSnapshot& s = visit.configSnapshot;
    ConfigSnapshot& known = visit.lastKnown;
    const std::string edit = OffsetEditText(page);
    const OffsetTickDecision decision =
        DecideOffsetTick(visit.offsetWriteBusy, edit.c_str(), visit.settledOffsetText.c_str(), known.indicationOffset);
    if (decision.typed && decision.action != OffsetTickAction::Skip) {
        DropWaitingFileOffset();  // the user's own offset replaces the one a file brought
        ShowWaitingFileOffset(page);
    }
    if (decision.action == OffsetTickAction::Skip) return true;
    if (decision.action == OffsetTickAction::Follow) {
        s.indicationOffset = known.indicationOffset;
        SetOffsetEdit(page, known.indicationOffset);
        return true;
    }
    if (decision.action == OffsetTickAction::Settle) {
        s.indicationOffset = decision.value;
        visit.settledOffsetText = edit;
        return true;
    }

    visit.offsetWriteBusy = true;
    s.indicationOffset = decision.value;
    for (;;) {
        const LinkError result = WriteRegister(kIndicationOffsetRegister, s.indicationOffset);
        if (result == kLinkOk) {
            known.indicationOffset = s.indicationOffset;
            visit.settledOffsetText = edit;
            visit.offsetWriteBusy = false;
            return true;
        }
        const std::string message = LinkFailureText("Erro na escrita do Offset de indicação (%s)", result);
        // Ticks go on under the prompt (the busy flag keeps them off the offset).
        action.Pause();
        const int answer =
            diagnosticPageMessageBox(page, message.c_str(), "Erro na escrita", MB_ABORTRETRYIGNORE | MB_ICONWARNING);
        action.Resume();
        if (answer == IDRETRY) continue;
        // Abort and Ignore drop the typed value: the edit shows the transmitter's again.
        s.indicationOffset = known.indicationOffset;
        SetOffsetEdit(page, known.indicationOffset);
        visit.offsetWriteBusy = false;
        return false;
    }
}

void FollowStatusWord(HWND page) {
    uint16_t word = 0;
    if (ReadStatusBits(&word) != kLinkOk) {
        ForgetTransmitterRead();
        return;
    }
    SheetVisit& visit = *CurrentVisit();
    visit.statusBits = word;
    if (visit.statusBits != visit.shownStatusBits) {
        RebuildStatusList(page);
        visit.shownStatusBits = visit.statusBits;
    }
}

}  // namespace

void DiagnosticTick(HWND page) {
    TransmitterAction action;
    if (action.Refused()) return;  // a tick that comes due while another action runs is skipped
    ShowWaitingFileOffset(page);   // a file opened from the system menu while the page is shown
    if (ShowLiveValues(page) && !WriteChangedOffset(page, action)) return;
    FollowStatusWord(page);
}
