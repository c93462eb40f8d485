// The Calibration page's procedure and its activation.
#include "calibration_page.h"
#include "page_help.h"
#include <commctrl.h>
#include "config_sheet.h"
#include "config_snapshot.h"
#include "live_failure_text.h"
#include "live_page_timer.h"
#include "probable_cause_text.h"
#include "resource.h"
#include "sheet_visit.h"
#include "spin_value.h"
#include "transmitter_action.h"
#include "transactions.h"
#include "ui_text.h"

CalibrationPageMessageBoxFunction calibrationPageMessageBox = ShowMessage;

namespace {

const int kCalibrationHelpContext = 8;

void SetSpinRange(HWND page, int spinId, SpinRange range) {
    // UDM_SETRANGE takes no span wider than 32767; the 32-bit message takes any.
    SendDlgItemMessageA(page, spinId, UDM_SETRANGE32, static_cast<WPARAM>(static_cast<int>(range.low)),
                        static_cast<LPARAM>(range.high));
}

void HandleCalibrationNotification(HWND page, const NMHDR* header) {
    if (header->code == PSN_SETACTIVE) {
        // The activation reads; the ticks start only after its boxes and reads.
        TransmitterAction action;
        if (!action.Refused()) ActivateCalibrationPage(page);
    } else if (header->code == PSN_HELP) {
        OpenPageHelp(page, kCalibrationHelpContext);
    }
    FollowLiveTimer(page, header);
}

}  // namespace

void ActivateCalibrationPage(HWND page) {
    calibrationPageMessageBox(page,
                              "Esta página permite a calibração 'on-line' dos valores de calibração da saída.\n"
                              "Qualquer alteração no ZERO e SPAN irá ser transmitida ao Orvi.",
                              "Atenção", MB_OK | MB_ICONWARNING);
    SheetVisit& visit = *CurrentVisit();
    CalibrationValues& calibration = visit.calibration;
    for (int i = 0; i < kCalibrationValueCount; ++i) {
        const CalibrationValueSlot& slot = kCalibrationSlots[i];
        uint16_t word = static_cast<uint16_t>(calibration.*slot.field);
        const LinkError result = ReadPrivate(slot.address, &word);
        if (result == kLinkOk) {
            calibration.*slot.field = static_cast<int16_t>(word);
            visit.trims.values.*slot.field = static_cast<int16_t>(word);
            visit.trims.known[i] = true;
        } else {
            ForgetTransmitterRead();  // whatever answers later may be another transmitter
            calibrationPageMessageBox(page, WithProbableCause(LinkFailureText(slot.readFailure, result)).c_str(),
                                      "Erro na leitura", MB_OK | MB_ICONWARNING);
        }
    }
    visit.calibrationKnown = calibration;

    const CalibrationPair pair = CalibrationPairFor(visit.configSnapshot.outputType);
    if (pair.zero == nullptr) return;
    // A value outside its spin's range shows as it is; the spin then reports an error until the
    // user steps it (from the range's edge), and the tick keeps the value (see TakeSpinPosition).
    ShowSpinValue(page, IDC_CALIBRATION_ZERO, IDC_CALIBRATION_ZERO_SPIN, calibration.*pair.zero->field);
    ShowSpinValue(page, IDC_CALIBRATION_SPAN, IDC_CALIBRATION_SPAN_SPIN, calibration.*pair.span->field);
}

INT_PTR CALLBACK CalibrationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    switch (message) {
    case WM_INITDIALOG:
        SetSpinRange(page, IDC_CALIBRATION_ZERO_SPIN, kZeroSpinRange);
        SetSpinRange(page, IDC_CALIBRATION_SPAN_SPIN, kSpanSpinRange);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (RefuseWhileActionRuns(page, header->code)) return TRUE;
        HandleCalibrationNotification(page, header);
        // No objection to leaving the page or to an apply; set every time, so nothing stale answers.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_HELP: calibrationPageMessageBox(page, "Mensagem WM_HELP Recebida", "AquisicaoProcDlg", MB_OK); return TRUE;
    case WM_COMMAND: return TRUE;
    case WM_TIMER: CalibrationTick(page); return FALSE;
    default: return FALSE;
    }
}
