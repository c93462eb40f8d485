// Expected dialog templates as tables, and the checks that compare a shipped template with them.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <vector>
#include "resource_dialog_template.h"

enum class ControlKind {
    StaticText,
    Icon,
    GroupBox,
    PushButton,
    DefaultPushButton,
    RadioButton,  // plain or automatic
    AutoRadioButton,
    AutoCheckBox,
    DropDownList,   // combo box without typing
    DropDownCombo,  // combo box with an editable field
    Edit,
    UpDown,
};

// Styles the pages share: an edit field with border, tab stop and horizontal scrolling; an up-down
// control that takes the control before it as buddy and writes a plain signed number into it.
constexpr uint32_t kEditFieldStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr uint32_t kSpinStyle = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

struct ControlPosition {
    int x = -1, y = -1, cx = -1, cy = -1;  // dialog units; cx -1: position not checked
};

struct ExpectedControl {
    int id;  // -1: no identifier
    ControlKind kind;
    const char* text;        // Windows-1252; nullptr: any non-empty text
    uint32_t required = 0;   // style bits that must be set (WS_CHILD and WS_VISIBLE always are,
    uint32_t forbidden = 0;  // unless WS_VISIBLE is forbidden here); bits that must be clear
    ControlPosition position = {};
};

struct ExpectedDialog {
    int cx, cy;           // dialog units
    const char* caption;  // Windows-1252
};

// The template of a shipped program; a failure is recorded when it is missing or truncated.
DialogTemplate ShippedDialog(const char* program, LPCSTR name);

// Size, caption, the shell's font "MS Shell Dlg" 8 and no menu.
void ExpectDialogFrame(const DialogTemplate& dialog, const ExpectedDialog& expected);
// The window style exactly, apart from DS_SHELLFONT, which the font implies.
void ExpectDialogStyle(const DialogTemplate& dialog, uint32_t style);
// Exactly these controls, in this order (the tab order).
void ExpectControlsInOrder(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected);
// Exactly these controls, in any order; controls of the same kind and text match in table order.
void ExpectControlsInAnyOrder(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected);
