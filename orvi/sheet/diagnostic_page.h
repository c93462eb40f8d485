// The Diagnostic page of the configuration sheet: live polling and the indication offset.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// Page state for the whole run of the program; not reset when the sheet closes.
extern uint16_t statusBits;       // the status word of the latest successful poll
extern uint16_t shownStatusBits;  // the status word the list was last built for
extern bool offsetWriteBusy;      // a tick is writing the offset, its prompt included

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* DiagnosticPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern DiagnosticPageMessageBoxFunction diagnosticPageMessageBox;

void FillDiagnosticPage(HWND page);
void RebuildStatusList(HWND page);
void ShowAlarmMnemonic(HWND page);
void SetDiagnosticUnitLabel(HWND page);

// At activation: serial number, firmware, offset range and (unless the user's typing is still
// pending) the offset follow the snapshot, which a read of another configuration may have replaced.
void RefreshDiagnosticConfiguration(HWND page);

// The offset a file opened on the sheet brought, while it waits for OK or Apply; empty otherwise.
void ShowWaitingFileOffset(HWND page);

// One poll: live block, offset write, status word.
void DiagnosticTick(HWND page);

// The offset text whose value the transmitter holds; set by the page, never by the user's typing.
void SetOffsetEdit(HWND page, int16_t value);
void SettleOffsetText(const char* text);
const char* SettledOffsetText();
// The offset edit's whole text.
std::string OffsetEditText(HWND page);
