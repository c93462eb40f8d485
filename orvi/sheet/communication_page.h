// The Communication page (template 103): what tests and other code may reach besides its procedure.
#pragma once
#include <windows.h>

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* CommunicationPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern CommunicationPageMessageBoxFunction communicationPageMessageBox;

// CommunicationPageProc itself is declared with the sheet (config_sheet.h).
