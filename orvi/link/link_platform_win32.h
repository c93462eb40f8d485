// Win32 hooks of the link: the window that owns the port notice.
#pragma once
#include <windows.h>

// The configurator line's port notice is shown over owner.
void SetNoticeOwner(HWND owner);
