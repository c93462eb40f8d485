// Control-level helpers of the Input/Output page: lists, up-down ranges, unit buttons and number edits.
#include "io_page_controls.h"
#include "edit_numbers.h"
#include "input_types.h"
#include "io_spin_ranges.h"
#include "resource.h"
#include "spin_value.h"
#include "ui_text.h"

namespace {

// UDM_SETRANGE takes no span wider than 32767 (an unknown input type's limits are wider); the
// 32-bit message takes any.
void SetSpinRange(HWND page, int spinId, int16_t low, int16_t high) {
    SendDlgItemMessageA(page, spinId, UDM_SETRANGE32, static_cast<WPARAM>(static_cast<int>(low)),
                        static_cast<LPARAM>(high));
}

}  // namespace

void FillInputTypeList(HWND page, int32_t unit) {
    SendDlgItemMessageA(page, IDC_INPUT_TYPE_LIST, CB_RESETCONTENT, 0, 0);
    for (int code = 0; code < kInputTypeCount; ++code) {
        AddComboEntry(page, IDC_INPUT_TYPE_LIST, InputTypeName(code, unit));
    }
}

void SelectListEntry(HWND page, int listId, const char* name) {
    if (name == nullptr) {
        SendDlgItemMessageA(page, listId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    SelectComboEntry(page, listId, name);
}

int SelectedPosition(HWND page, int listId) {
    const LRESULT position = SendDlgItemMessageA(page, listId, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? -1 : static_cast<int>(position);
}

void SetIoSpinRanges(HWND page, int inputType, int32_t unit) {
    const IoSpinRanges ranges = IoSpinRangesFor(inputType, unit);
    SetSpinRange(page, IDC_LOWER_LIMIT_SPIN, ranges.low, ranges.high);
    SetSpinRange(page, IDC_UPPER_LIMIT_SPIN, ranges.low, ranges.high);
    SetSpinRange(page, IDC_ALARM_SET_POINT_SPIN, ranges.low, ranges.high);
    SetSpinRange(page, IDC_ALARM_HYSTERESIS_SPIN, 0, ranges.hysteresisHigh);
}

void ShowUnit(HWND page, int32_t unit) {
    CheckDlgButton(page, IDC_UNIT_CELSIUS, unit == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_UNIT_FAHRENHEIT, unit == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void SetEditNumber(HWND page, int editId, int16_t value) {
    static const struct {
        int edit;
        int spin;
    } kSpins[] = {{IDC_LOWER_LIMIT, IDC_LOWER_LIMIT_SPIN},
                  {IDC_UPPER_LIMIT, IDC_UPPER_LIMIT_SPIN},
                  {IDC_ALARM_SET_POINT, IDC_ALARM_SET_POINT_SPIN},
                  {IDC_ALARM_HYSTERESIS, IDC_ALARM_HYSTERESIS_SPIN}};
    for (const auto& pair : kSpins)
        if (pair.edit == editId) return ShowSpinValue(page, editId, pair.spin, value);
    SetDlgItemInt(page, editId, static_cast<UINT>(static_cast<int>(value)), TRUE);
}

int16_t ReadEditDialogNumber(HWND page, int editId) {
    char text[64] = "";
    GetDlgItemTextA(page, editId, text, sizeof text);
    return ParseDialogInt16(text);
}

int16_t ReadEditLeadingNumber(HWND page, int editId) {
    char text[8] = "";
    GetDlgItemTextA(page, editId, text, sizeof text);
    return ParseLeadingInt16(text);
}
