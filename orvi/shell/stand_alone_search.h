// The Communication page run as a dialog of its own: the search mode and the menu's "&Busca Automática".
#pragma once
#include <windows.h>

// Sets standAloneMode and runs template 103 modally; the page closes the port and saves on its way out.
void RunStandAloneSearch(HWND owner);

// The same from the service mode's menu, which goes on afterwards: the flag is cleared and the port
// opened again, so that a sheet opened later is a normal sheet and reaches the transmitter.
void RunSearchFromMenu(HWND owner);
