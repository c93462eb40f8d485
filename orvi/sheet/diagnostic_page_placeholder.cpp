// TEMPORARY: an empty Diagnostic page (template 106) until the real page procedure replaces this file.
#include <windows.h>

INT_PTR CALLBACK DiagnosticPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)page;
    (void)wParam;
    (void)lParam;
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
