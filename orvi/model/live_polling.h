// The one-second timer that drives the live pages while one of them is the active page.
#pragma once

enum { kLiveTimerId = 1, kLiveTimerPeriodMs = 1000 };
