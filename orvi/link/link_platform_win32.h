// Win32 hooks of the link: the window that owns the port notice.
#pragma once
#include <windows.h>

void SetNoticeOwner(HWND owner);
