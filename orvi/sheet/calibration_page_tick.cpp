// The Calibration page's one-second tick: the spins' values go to the transmitter when they changed.
#include "calibration_page.h"
#include <commctrl.h>
#include "config_snapshot.h"
#include "live_failure_text.h"
#include "resource.h"
#include "sheet_visit.h"
#include "transmitter_action.h"
#include "transactions.h"
#include "ui_text.h"

namespace {

void TakeSpin(HWND page, int spinId, const CalibrationValueSlot& slot, SpinRange range) {
    const LRESULT answer = SendDlgItemMessageA(page, spinId, UDM_GETPOS, 0, 0);
    CalibrationValues& calibration = CurrentVisit()->calibration;
    calibration.*slot.field = TakeSpinPosition(calibration.*slot.field, static_cast<uint32_t>(answer), range);
}

void WriteIfChanged(HWND page, const CalibrationValueSlot& slot) {
    const int16_t value = CurrentVisit()->calibration.*slot.field;
    CalibrationValues& calibrationKnown = CurrentVisit()->calibrationKnown;
    if (value == calibrationKnown.*slot.field) return;
    const LinkError result = WritePrivate(slot.address, value);
    if (result == kLinkOk) {
        calibrationKnown.*slot.field = value;
        SetItemText(page, IDC_CALIBRATION_STATUS, "");
    } else {
        // A failed write stays a difference, so the next tick sends it again.
        SetItemText(page, IDC_CALIBRATION_STATUS, LinkFailureText(slot.writeFailure, result).c_str());
    }
}

}  // namespace

void CalibrationTick(HWND page) {
    TransmitterAction action;
    if (action.Refused()) return;  // a tick that comes due while another action runs is skipped
    const CalibrationPair pair = CalibrationPairFor(CurrentVisit()->configSnapshot.outputType);
    if (pair.zero == nullptr) return;
    TakeSpin(page, IDC_CALIBRATION_ZERO_SPIN, *pair.zero, kZeroSpinRange);
    TakeSpin(page, IDC_CALIBRATION_SPAN_SPIN, *pair.span, kSpanSpinRange);
    WriteIfChanged(page, *pair.zero);
    WriteIfChanged(page, *pair.span);
}
