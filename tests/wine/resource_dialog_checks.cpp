// Comparison of shipped dialog templates with their expected tables, with messages that name the
// control and show what the template holds.
#include "resource_dialog_checks.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include "resource_program.h"

namespace {

bool SameClass(const DialogControl& control, const char* name) {
    return lstrcmpiA(control.className.c_str(), name) == 0;
}

bool IsKind(const DialogControl& control, ControlKind kind) {
    uint32_t button = control.style & BS_TYPEMASK;
    uint32_t staticType = control.style & SS_TYPEMASK;
    uint32_t combo = control.style & 3;
    switch (kind) {
    case ControlKind::StaticText:
        return SameClass(control, "Static") &&
               (staticType <= SS_RIGHT || staticType == SS_SIMPLE || staticType == SS_LEFTNOWORDWRAP);
    case ControlKind::Icon: return SameClass(control, "Static") && staticType == SS_ICON;
    case ControlKind::GroupBox: return SameClass(control, "Button") && button == BS_GROUPBOX;
    case ControlKind::PushButton: return SameClass(control, "Button") && button == BS_PUSHBUTTON;
    case ControlKind::DefaultPushButton: return SameClass(control, "Button") && button == BS_DEFPUSHBUTTON;
    case ControlKind::RadioButton:
        return SameClass(control, "Button") && (button == BS_RADIOBUTTON || button == BS_AUTORADIOBUTTON);
    case ControlKind::AutoRadioButton: return SameClass(control, "Button") && button == BS_AUTORADIOBUTTON;
    case ControlKind::AutoCheckBox: return SameClass(control, "Button") && button == BS_AUTOCHECKBOX;
    case ControlKind::DropDownList: return SameClass(control, "ComboBox") && combo == CBS_DROPDOWNLIST;
    case ControlKind::DropDownCombo: return SameClass(control, "ComboBox") && combo == CBS_DROPDOWN;
    case ControlKind::Edit: return SameClass(control, "Edit");
    case ControlKind::UpDown: return SameClass(control, UPDOWN_CLASSA);
    }
    return false;
}

bool SameText(const DialogControl& control, const ExpectedControl& expected) {
    if (!expected.text) return !control.text.isOrdinal && !control.text.text.empty();
    if (control.text.isOrdinal) return false;
    // An icon's text names its resource; resource names are case-blind (the compiler upper-cases
    // them). Every other text is compared byte for byte.
    if (expected.kind == ControlKind::Icon) return lstrcmpiA(control.text.text.c_str(), expected.text) == 0;
    return control.text.text == expected.text;
}

bool Identifies(const DialogControl& control, const ExpectedControl& expected) {
    return control.id == expected.id && IsKind(control, expected.kind) && SameText(control, expected);
}

std::string Hex(uint32_t value) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

const char* KindName(ControlKind kind) {
    static const char* const names[] = {"static text",
                                        "icon",
                                        "group box",
                                        "push button",
                                        "default push button",
                                        "radio button",
                                        "automatic radio button",
                                        "automatic check box",
                                        "drop-down list",
                                        "drop-down combo box",
                                        "edit",
                                        "up-down"};
    return names[static_cast<int>(kind)];
}

std::string Describe(const DialogControl& control) {
    std::string text = control.text.isOrdinal ? "ordinal " + std::to_string(control.text.ordinal) : control.text.text;
    return "#" + std::to_string(control.id) + " " + control.className + " \"" + text + "\" style " + Hex(control.style);
}

std::string Describe(const ExpectedControl& expected) {
    return std::string("expected #") + std::to_string(expected.id) + " " + KindName(expected.kind) + " \"" +
           (expected.text ? expected.text : "(any text)") + "\"";
}

void ExpectStyleAndPosition(const DialogControl& control, const ExpectedControl& expected) {
    uint32_t required = expected.required | WS_CHILD;
    if (!(expected.forbidden & WS_VISIBLE)) required |= WS_VISIBLE;
    EXPECT_EQ(Hex(control.style & required), Hex(required)) << "style bits that must be set";
    EXPECT_EQ(Hex(control.style & expected.forbidden), Hex(0)) << "style bits that must be clear";
    if (expected.position.cx < 0) return;
    EXPECT_EQ(control.x, expected.position.x);
    EXPECT_EQ(control.y, expected.position.y);
    EXPECT_EQ(control.cx, expected.position.cx);
    EXPECT_EQ(control.cy, expected.position.cy);
}

}  // namespace

DialogTemplate ShippedDialog(const char* program, LPCSTR name) {
    ShippedProgram shipped(program);
    DialogTemplate dialog;
    EXPECT_TRUE(shipped.Loaded()) << shipped.Path();
    std::vector<uint8_t> bytes = shipped.Resource(RT_DIALOG, name);
    EXPECT_FALSE(bytes.empty()) << "no dialog template in " << shipped.Path();
    if (!bytes.empty()) {
        EXPECT_TRUE(ReadDialogTemplate(bytes, dialog)) << "truncated dialog template";
    }
    return dialog;
}

void ExpectDialogFrame(const DialogTemplate& dialog, const ExpectedDialog& expected) {
    EXPECT_EQ(dialog.cx, expected.cx);
    EXPECT_EQ(dialog.cy, expected.cy);
    EXPECT_EQ(dialog.caption, expected.caption);
    // The shell's dialog font, a TrueType face with every Western glyph on a system of any code page
    // (a bitmap "MS Sans Serif" of another code page draws bars for ã, ú and é).
    EXPECT_EQ(dialog.fontName, "MS Shell Dlg");
    EXPECT_EQ(Hex(dialog.style & DS_SHELLFONT), Hex(DS_SHELLFONT)) << "the face is only the shell's with DS_SHELLFONT";
    EXPECT_EQ(dialog.pointSize, 8);
    // Only the extended format names the character set.
    EXPECT_EQ(dialog.charset, ANSI_CHARSET);
    EXPECT_TRUE(dialog.menu.Empty()) << "a dialog with a menu";
}

void ExpectDialogStyle(const DialogTemplate& dialog, uint32_t style) {
    EXPECT_EQ(Hex(dialog.style & ~static_cast<uint32_t>(DS_SHELLFONT)), Hex(style)) << "window style";
}

void ExpectControlsInOrder(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
    EXPECT_EQ(dialog.controls.size(), expected.size()) << "number of controls";
    for (size_t i = 0; i < dialog.controls.size() && i < expected.size(); ++i) {
        const DialogControl& control = dialog.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ": " + Describe(control) + "; " + Describe(expected[i]));
        EXPECT_TRUE(Identifies(control, expected[i])) << "id, kind or text differs";
        ExpectStyleAndPosition(control, expected[i]);
    }
}

void ExpectControlsInAnyOrder(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
    std::vector<bool> taken(dialog.controls.size(), false);
    for (const ExpectedControl& wanted : expected) {
        size_t i = 0;
        while (i < dialog.controls.size() && (taken[i] || !Identifies(dialog.controls[i], wanted))) ++i;
        if (i == dialog.controls.size()) {
            ADD_FAILURE() << "no such control: " << Describe(wanted);
            continue;
        }
        taken[i] = true;
        SCOPED_TRACE(Describe(dialog.controls[i]));
        ExpectStyleAndPosition(dialog.controls[i], wanted);
    }
    for (size_t i = 0; i < dialog.controls.size(); ++i)
        EXPECT_TRUE(taken[i]) << "unexpected control " << Describe(dialog.controls[i]);
}
