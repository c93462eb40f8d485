// When a live page's one-second timer runs.
#include "live_polling.h"

LiveTimerChange LiveTimerChangeFor(LivePageEvent event, bool pageIsCurrent, bool sheetClosing) {
    switch (event) {
    case LivePageEvent::Activated: return LiveTimerChange::Start;
    case LivePageEvent::Deactivated:
    case LivePageEvent::Reset: return LiveTimerChange::Stop;
    case LivePageEvent::Applied: return pageIsCurrent && !sheetClosing ? LiveTimerChange::Start : LiveTimerChange::None;
    default: return LiveTimerChange::None;
    }
}
