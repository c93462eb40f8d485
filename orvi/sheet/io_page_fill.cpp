// Filling the Input/Output page from the snapshot, and enabling its unit and alarm controls.
#include "io_page_fill.h"
#include "alarm_functions.h"
#include "config_snapshot.h"
#include "input_types.h"
#include "io_page_controls.h"
#include "output_types.h"
#include "resource.h"
#include "sheet_visit.h"
#include "ui_text.h"

void FillIoPage(HWND page) {
    // The window may be gone (the sheet closed before a later re-read); there is nothing to fill.
    if (page == NULL || !IsWindow(page)) return;
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;

    FillInputTypeList(page, s.unit);
    SendDlgItemMessageA(page, IDC_OUTPUT_TYPE_LIST, CB_RESETCONTENT, 0, 0);
    for (int position = 0; position < kOutputTypeCount; ++position) {
        AddComboEntry(page, IDC_OUTPUT_TYPE_LIST, OutputTypeCatalogue[position].name);
    }
    SendDlgItemMessageA(page, IDC_ALARM_FUNCTION_LIST, CB_RESETCONTENT, 0, 0);
    for (int position = 0; position < kOfferedAlarmFunctionCount; ++position) {
        AddComboEntry(page, IDC_ALARM_FUNCTION_LIST, AlarmFunctionName(AlarmFunctionFromPosition(position)));
    }

    ShowIoChoices(page);

    SetIoSpinRanges(page, s.inputType, s.unit);
    // Each text raises the edit's own handler; the values equal lastKnown, so nothing is marked.
    SetEditNumber(page, IDC_LOWER_LIMIT, s.lowerLimit);
    SetEditNumber(page, IDC_UPPER_LIMIT, s.upperLimit);
    SetEditNumber(page, IDC_ALARM_SET_POINT, s.alarmSetPoint);
    SetEditNumber(page, IDC_ALARM_HYSTERESIS, s.alarmHysteresis);

    // A linear type has no unit: a unit click would convert its plain scale numbers as temperatures.
    EnableUnitControls(page, IsLinearInput(s.inputType));
    EnableAlarmControls(page, s.alarmFunction != kNoAlarm);
}

void ShowIoChoices(HWND page) {
    const ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    SelectListEntry(page, IDC_INPUT_TYPE_LIST, InputTypeName(s.inputType, s.unit));
    SelectListEntry(page, IDC_OUTPUT_TYPE_LIST, OutputTypeName(s.outputType));
    // Codes 2 and 3 have names but no entry, so they select nothing as well.
    SelectListEntry(page, IDC_ALARM_FUNCTION_LIST, AlarmFunctionName(s.alarmFunction));
    ShowUnit(page, s.unit);
    CheckDlgButton(page, IDC_ALARM_INITIAL_BLOCK, s.alarmInitialBlock != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void EnableUnitControls(HWND page, bool linear) {
    const int ids[] = {IDC_UNIT_CELSIUS, IDC_UNIT_FAHRENHEIT, IDC_UNIT_LABEL};
    for (int id : ids) EnableWindow(GetDlgItem(page, id), linear ? FALSE : TRUE);
}

void EnableAlarmControls(HWND page, bool enable) {
    const int ids[] = {IDC_ALARM_SET_POINT, IDC_ALARM_SET_POINT_SPIN, IDC_ALARM_INITIAL_BLOCK, IDC_ALARM_HYSTERESIS,
                       IDC_ALARM_HYSTERESIS_SPIN};
    for (int id : ids) EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}
