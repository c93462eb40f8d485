// The Input/Output page's command handlers: lists, edits, the blocking box and the unit switches.
#include "alarm_functions.h"
#include "config_snapshot.h"
#include "input_type_rescale.h"
#include "input_types.h"
#include "io_page_commands.h"
#include "io_page_controls.h"
#include "io_page_fill.h"
#include "output_types.h"
#include "resource.h"
#include "sheet_visit.h"
#include "temperature_units.h"
#include "unit_switch.h"

namespace {

void OnInputTypeList(HWND page) {
    // Nothing selected (the device reported a code no entry shows) is no code to take.
    const int position = SelectedPosition(page, IDC_INPUT_TYPE_LIST);
    if (!IsKnownInputType(position)) return;
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    ConfigSnapshot& known = CurrentVisit()->lastKnown;
    const int oldType = known.inputType;
    s.inputType = static_cast<int8_t>(position);
    EnableUnitControls(page, IsLinearInput(s.inputType));

    s.lowerLimit = RescaleToInputType(s.lowerLimit, oldType, s.inputType, s.unit);
    s.upperLimit = RescaleToInputType(s.upperLimit, oldType, s.inputType, s.unit);
    s.alarmSetPoint = RescaleToInputType(s.alarmSetPoint, oldType, s.inputType, s.unit);
    SetIoSpinRanges(page, s.inputType, s.unit);
    SetEditNumber(page, IDC_LOWER_LIMIT, s.lowerLimit);
    SetEditNumber(page, IDC_UPPER_LIMIT, s.upperLimit);
    SetEditNumber(page, IDC_ALARM_SET_POINT, s.alarmSetPoint);
    // Also makes the next rescale start from this type.
    NoteFieldChange(page, s.inputType, known.inputType);
}

void OnOutputTypeList(HWND page) {
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    s.outputType = OutputTypeFromPosition(SelectedPosition(page, IDC_OUTPUT_TYPE_LIST), s.outputType);
    NoteFieldChange(page, s.outputType, CurrentVisit()->lastKnown.outputType);
}

void OnAlarmFunctionList(HWND page) {
    const int code = AlarmFunctionFromPosition(SelectedPosition(page, IDC_ALARM_FUNCTION_LIST));
    if (code < 0) return;  // nothing selected: the device's own code stays
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    s.alarmFunction = static_cast<int16_t>(code);
    NoteFieldChange(page, s.alarmFunction, CurrentVisit()->lastKnown.alarmFunction);
    EnableAlarmControls(page, s.alarmFunction != kNoAlarm);
}

void OnUnitButton(HWND page, int32_t chosenUnit) {
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    const UnitSwitch action = DecideUnitSwitch(s.unit, chosenUnit);
    if (action != kUnitUnchanged) {
        s.unit = chosenUnit;
        FillInputTypeList(page, s.unit);
        SelectListEntry(page, IDC_INPUT_TYPE_LIST, InputTypeName(s.inputType, s.unit));
        SetIoSpinRanges(page, s.inputType, s.unit);
        ShowUnit(page, s.unit);
    }
    if (action == kUnitConvert) {
        // Writing the texts runs the edits' handlers, which carry the values into the snapshot.
        struct UnitEdit {
            int id;
            UnitQuantity quantity;
        };
        const UnitEdit edits[] = {{IDC_LOWER_LIMIT, UnitQuantity::Temperature},
                                  {IDC_UPPER_LIMIT, UnitQuantity::Temperature},
                                  {IDC_ALARM_SET_POINT, UnitQuantity::Temperature},
                                  {IDC_ALARM_HYSTERESIS, UnitQuantity::Difference}};
        for (const UnitEdit& edit : edits) {
            const int16_t value = ReadEditDialogNumber(page, edit.id);
            SetEditNumber(page, edit.id, ConvertToUnit(value, s.unit, s.inputType, edit.quantity));
        }
    }
    NoteFieldChange(page, s.unit, CurrentVisit()->lastKnown.unit);
}

}  // namespace

void HandleIoPageCommand(HWND page, int controlId) {
    ConfigSnapshot& s = CurrentVisit()->configSnapshot;
    ConfigSnapshot& known = CurrentVisit()->lastKnown;
    switch (controlId) {
    case IDC_INPUT_TYPE_LIST: OnInputTypeList(page); break;
    case IDC_OUTPUT_TYPE_LIST: OnOutputTypeList(page); break;
    case IDC_ALARM_FUNCTION_LIST: OnAlarmFunctionList(page); break;
    case IDC_ALARM_SET_POINT:
        s.alarmSetPoint = ReadEditLeadingNumber(page, IDC_ALARM_SET_POINT);
        NoteFieldChange(page, s.alarmSetPoint, known.alarmSetPoint);
        break;
    case IDC_ALARM_HYSTERESIS:
        s.alarmHysteresis = ReadEditLeadingNumber(page, IDC_ALARM_HYSTERESIS);
        NoteFieldChange(page, s.alarmHysteresis, known.alarmHysteresis);
        break;
    case IDC_LOWER_LIMIT:
        s.lowerLimit = ReadEditDialogNumber(page, IDC_LOWER_LIMIT);
        NoteFieldChange(page, s.lowerLimit, known.lowerLimit);
        break;
    case IDC_UPPER_LIMIT:
        s.upperLimit = ReadEditDialogNumber(page, IDC_UPPER_LIMIT);
        NoteFieldChange(page, s.upperLimit, known.upperLimit);
        break;
    case IDC_ALARM_INITIAL_BLOCK:
        s.alarmInitialBlock = IsDlgButtonChecked(page, IDC_ALARM_INITIAL_BLOCK) == BST_CHECKED ? 1 : 0;
        NoteFieldChange(page, s.alarmInitialBlock, known.alarmInitialBlock);
        break;
    case IDC_UNIT_CELSIUS: OnUnitButton(page, kUnitCelsius); break;
    case IDC_UNIT_FAHRENHEIT: OnUnitButton(page, kUnitFahrenheit); break;
    default: break;
    }
}
