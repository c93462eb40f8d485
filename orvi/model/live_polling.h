// The one-second timer that drives the live pages while one of them is the active page.
#pragma once

enum { kLiveTimerId = 1, kLiveTimerPeriodMs = 1000 };

// What the sheet tells a live page, as far as its timer is concerned.
enum class LivePageEvent { Activated, Deactivated, Reset, Applied, Other };
enum class LiveTimerChange { None, Start, Stop };

// Activation starts the ticks; leaving the page or Cancel stops them. The sheet deactivates the
// current page before an apply and does not activate it again afterwards, so an apply that leaves
// the page current and the sheet open (Apply, not OK) starts them again.
LiveTimerChange LiveTimerChangeFor(LivePageEvent event, bool pageIsCurrent, bool sheetClosing);
