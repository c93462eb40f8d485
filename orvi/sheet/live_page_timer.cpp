// Starting and stopping a live page's one-second timer as the sheet's notifications ask.
#include "live_page_timer.h"
#include <commctrl.h>
#include "live_polling.h"

namespace {

LivePageEvent EventOf(UINT code) {
    switch (code) {
    case PSN_SETACTIVE: return LivePageEvent::Activated;
    case PSN_KILLACTIVE: return LivePageEvent::Deactivated;
    case PSN_RESET: return LivePageEvent::Reset;
    case PSN_APPLY: return LivePageEvent::Applied;
    default: return LivePageEvent::Other;
    }
}

}  // namespace

void FollowLiveTimer(HWND page, const NMHDR* header) {
    const LivePageEvent event = EventOf(header->code);
    bool current = false;
    bool closing = false;
    if (event == LivePageEvent::Applied) {
        current = reinterpret_cast<HWND>(SendMessageA(GetParent(page), PSM_GETCURRENTPAGEHWND, 0, 0)) == page;
        closing = reinterpret_cast<const PSHNOTIFY*>(header)->lParam != 0;  // OK rather than Apply
    }
    switch (LiveTimerChangeFor(event, current, closing)) {
    case LiveTimerChange::Start: SetTimer(page, kLiveTimerId, kLiveTimerPeriodMs, NULL); break;
    case LiveTimerChange::Stop: KillTimer(page, kLiveTimerId); break;
    default: break;
    }
}
