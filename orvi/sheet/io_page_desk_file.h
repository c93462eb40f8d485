// The Input/Output page on a desk file: the file's values shown, and the file written by the apply.
#pragma once
#include <windows.h>

// At the page's opening: the visit's desk file's values on the page, and which file it is.
void ShowDeskFile(HWND page);

// In the apply, once the page's checks have passed: the values into the file (the whole file replaced,
// its other lines kept). False (after saying so) when it could not be written; the file is then as it was.
bool WriteDeskFile(HWND page);
