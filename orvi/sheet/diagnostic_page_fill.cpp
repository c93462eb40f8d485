// Filling the Diagnostic page: configuration fields, status list, alarm mnemonic, unit label.
#include "diagnostic_page.h"
#include <commctrl.h>
#include <string>
#include "config_snapshot.h"
#include "input_types.h"
#include "live_diagnostic_texts.h"
#include "live_offset_tick.h"
#include "live_status_list.h"
#include "resource.h"
#include "sheet_visit.h"
#include "spin_value.h"
#include "ui_text.h"

void SetOffsetRange(HWND page) {
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    const LimitPair limits = SensorLimits(s.inputType, s.unit);
    // The sensor limits may span more than UDM_SETRANGE takes (32767); the 32-bit message takes any.
    SendDlgItemMessageA(page, IDC_DIAG_OFFSET_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(static_cast<int>(limits.low)),
                        static_cast<LPARAM>(limits.high));
}

namespace {

void SetIdentityFields(HWND page) {
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    SetItemText(page, IDC_DIAG_SERIAL_NUMBER, SerialNumberText(s.serialNumber).c_str());
    SetItemText(page, IDC_DIAG_FIRMWARE, FirmwareText(s.firmwareVersion).c_str());
}

}  // namespace

std::string OffsetEditText(HWND page) {
    // Read whole: a text cut short could read as another number ("000000000000000012" as 0).
    HWND edit = GetDlgItem(page, IDC_DIAG_OFFSET);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    return text;
}

void SetOffsetEdit(HWND page, int16_t value) {
    ShowSpinValue(page, IDC_DIAG_OFFSET, IDC_DIAG_OFFSET_SPIN, value);
    CurrentVisit()->settledOffsetText = OffsetEditText(page);
}

void FillDiagnosticPage(HWND page) {
    SetOffsetRange(page);
    RebuildStatusList(page);
    ShowAlarmMnemonic(page);
    SetDiagnosticUnitLabel(page);
    SetIdentityFields(page);
    SheetVisit& visit = *CurrentVisit();
    visit.shownStatusBits = visit.statusBits;
    SetOffsetEdit(page, visit.configSnapshot.indicationOffset);
    ShowWaitingFileOffset(page);
}

void RefreshDiagnosticConfiguration(HWND page) {
    SetOffsetRange(page);
    SetIdentityFields(page);
    SheetVisit& visit = *CurrentVisit();
    if (OffsetEditFollowsTransmitter(OffsetEditText(page).c_str(), visit.settledOffsetText.c_str())) {
        visit.configSnapshot.indicationOffset = visit.lastKnown.indicationOffset;
        SetOffsetEdit(page, visit.lastKnown.indicationOffset);
    }
    ShowWaitingFileOffset(page);
}

void ShowWaitingFileOffset(HWND page) {
    int16_t offset = 0;
    const std::string text = WaitingFileOffset(&offset) ? WaitingFileOffsetText(offset) : "";
    // Set only when it changes: each tick asks, and a static repaints on every new text.
    if (ItemText(page, IDC_DIAG_FILE_OFFSET) != text) SetItemText(page, IDC_DIAG_FILE_OFFSET, text.c_str());
}

void RebuildStatusList(HWND page) {
    const StatusListView view = BuildStatusList(CurrentVisit()->statusBits, CurrentVisit()->shownStatusBits);
    SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : view.entries) {
        AddComboEntry(page, IDC_DIAG_STATUS_LIST, entry.c_str());
    }
    if (view.selected >= 0) SendDlgItemMessageA(page, IDC_DIAG_STATUS_LIST, CB_SETCURSEL, view.selected, 0);
}

void ShowAlarmMnemonic(HWND page) {
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    SetItemText(page, IDC_DIAG_ALARM, AlarmMnemonicText(s.alarmOutputOn, s.alarmFunction).c_str());
    ShowWindow(GetDlgItem(page, IDC_DIAG_ALARM), SW_SHOW);
}

void SetDiagnosticUnitLabel(HWND page) {
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    SetItemText(page, IDC_DIAG_UNIT, UnitLabelText(s.inputType, s.unit).c_str());
}
