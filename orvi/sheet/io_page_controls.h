// Control-level helpers shared by the Input/Output page's fill, command and apply code.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include "config_snapshot.h"

// Empties the input-type list and adds the 19 names of unit in code order.
void FillInputTypeList(HWND page, int32_t unit);

// Selects the entry whose text is name; a null name (a code no entry shows) selects nothing.
void SelectListEntry(HWND page, int listId, const char* name);

// The position selected in a list, or -1 when nothing is selected.
int SelectedPosition(HWND page, int listId);

// The three value up-downs get the sensor limits of inputType, the hysteresis up-down their width.
void SetIoSpinRanges(HWND page, int inputType, int32_t unit);

// Checks the button of unit; a unit the device reported outside 0 and 1 checks neither.
void ShowUnit(HWND page, int32_t unit);

// Shows value in a number edit; for an edit with an up-down, the up-down's position follows it
// (clamped to the range), so that the range must be set first.
void SetEditNumber(HWND page, int editId, int16_t value);
int16_t ReadEditDialogNumber(HWND page, int editId);   // the whole text as a number, else 0
int16_t ReadEditLeadingNumber(HWND page, int editId);  // the leading number of at most 7 characters

// Change detection on one field: a new value marks the page changed for the sheet.
template <typename Field>
void NoteFieldChange(HWND page, Field value, Field& known) {
    if (TakeChange(value, known)) SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}
