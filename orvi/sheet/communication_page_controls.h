// Control helpers of the Communication page: filling, selecting and reading its lists and fields.
#pragma once
#include <windows.h>
#include <cstdint>

// Rate button, port list, network lists and the read-only fields from CommSettings.
void FillCommunicationPage(HWND page);

// Checks the rate button of a rate (none for a rate outside the five).
void ShowHostRate(HWND page, int32_t baudRate);
// Selects the port list's entry of the current port name.
void ShowHostPort(HWND page);
// 1192 and 1193 from the current baud rate and device address.
void ShowTransmitterSettings(HWND page);
// Selects the entry whose text is exactly text; none when the list has no such entry.
void SelectExactEntry(HWND page, int listId, const char* text);
void SelectNumberEntry(HWND page, int listId, int number);
// The network baud list and address field back to the current rate and address.
void ResetNetworkFields(HWND page);

// The address field's text (at most a few characters more than any valid address).
void ReadNetworkAddressText(HWND page, char* text, int size);
// The rate the network baud list shows, 0 when nothing is selected.
int32_t ReadNetworkBaud(HWND page);

// Every message box of the page goes through here, with a warning icon, and so through
// communicationPageMessageBox (ShowMessage: MessageBoxW with the CP1252 texts), where tests put an observer.
int ShowCommunicationMessage(HWND page, const char* text, const char* caption, UINT buttons);
typedef int(WINAPI* CommunicationPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern CommunicationPageMessageBoxFunction communicationPageMessageBox;
