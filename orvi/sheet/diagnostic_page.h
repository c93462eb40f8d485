// The Diagnostic page of the configuration sheet: live polling and the indication offset.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// The status words, the offset write and the settled offset text are the sheet visit's (sheet_visit.h).

// Every message box of the page goes through here (ShowMessage: MessageBoxW with the CP1252 texts); tests put an
// observer in its place.
typedef int(WINAPI* DiagnosticPageMessageBoxFunction)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern DiagnosticPageMessageBoxFunction diagnosticPageMessageBox;

void FillDiagnosticPage(HWND page);
void RebuildStatusList(HWND page);
void ShowAlarmMnemonic(HWND page);
void SetDiagnosticUnitLabel(HWND page);

// The offset up-down's range: the sensor limits of the snapshot's input type and unit.
void SetOffsetRange(HWND page);

// At activation: serial number, firmware, offset range and (unless the user's typing is still
// pending) the offset follow the snapshot, which a read of another configuration may have replaced.
void RefreshDiagnosticConfiguration(HWND page);

// The offset a file opened on the sheet brought, while it waits for OK or Apply; empty otherwise.
void ShowWaitingFileOffset(HWND page);

// One poll: live block, offset write, status word.
void DiagnosticTick(HWND page);

// Shows the transmitter's offset, whose text is then the settled one.
void SetOffsetEdit(HWND page, int16_t value);
// The offset edit's whole text.
std::string OffsetEditText(HWND page);
