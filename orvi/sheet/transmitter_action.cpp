// One action that talks to the transmitter at a time, for the whole program.
#include "transmitter_action.h"
#include <commctrl.h>
#include "line.h"
#include "transactions.h"

namespace {
bool actionHeld = false;
}

bool TransmitterActionRunning() { return actionHeld || TransactionBusy(); }

TransmitterAction::TransmitterAction() : owner_(!TransmitterActionRunning()) {
    if (!owner_) return;
    actionHeld = true;
    // A failure of this action names the cause of what this action hears.
    ConfiguratorLine().evidence.ForgetHeard();
}

TransmitterAction::~TransmitterAction() {
    if (owner_) actionHeld = false;
}

void TransmitterAction::Pause() {
    if (owner_) actionHeld = false;
}

void TransmitterAction::Resume() {
    if (owner_) actionHeld = true;
}

bool RefuseWhileActionRuns(HWND page, UINT code) {
    // PSN_KILLACTIVE comes before a tab change and before the apply of OK and Apply; PSN_QUERYCANCEL
    // before Cancel. TRUE keeps the page, and the sheet, as they are.
    if (code != PSN_KILLACTIVE && code != PSN_QUERYCANCEL) return false;
    const bool refuse = TransmitterActionRunning();
    SetWindowLongPtrA(page, DWLP_MSGRESULT, refuse ? TRUE : FALSE);
    return refuse;
}
