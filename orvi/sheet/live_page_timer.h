// Starting and stopping a live page's one-second timer as the sheet's notifications ask.
#pragma once
#include <windows.h>

// Activation starts it, leaving and Cancel stop it, and an Apply that leaves the page on screen
// starts it again.
void FollowLiveTimer(HWND page, const NMHDR* header);
