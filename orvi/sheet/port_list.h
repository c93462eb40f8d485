// The port lists of the host communication dialog and the Communication page.
#pragma once
#include <windows.h>

// Fills a combo box with "None", COM1..COM4 and the other ports present, in number order.
void FillPortList(HWND dialog, int listId);
