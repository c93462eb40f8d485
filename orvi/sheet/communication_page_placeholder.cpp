// TEMPORARY: an empty Communication page (template 103) until the real page procedure replaces this file.
#include <windows.h>

INT_PTR CALLBACK CommunicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)page;
    (void)wParam;
    (void)lParam;
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
