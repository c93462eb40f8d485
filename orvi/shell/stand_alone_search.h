// The Communication page run as a dialog of its own: the search mode and the menu's "&Busca Automática".
#pragma once
#include <windows.h>

// Runs template 103 modally as the search dialog; the page closes the port and saves on its way out.
void RunStandAloneSearch(HWND owner);

// The same from the service mode's menu, which goes on afterwards: the port is opened again, so
// that a sheet opened later reaches the transmitter.
void RunSearchFromMenu(HWND owner);
