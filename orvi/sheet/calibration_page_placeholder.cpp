// TEMPORARY: an empty Calibration page (template 105) until the real page procedure replaces this file.
#include <windows.h>

INT_PTR CALLBACK CalibrationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)page;
    (void)wParam;
    (void)lParam;
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
