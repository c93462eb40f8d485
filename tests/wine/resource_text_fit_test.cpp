// Every label and button text of the shipped dialogs fits its control in the templates' own font.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource_program.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Narrow(const wchar_t* text) {
    char narrow[512] = "";
    WideCharToMultiByte(1252, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// The room a button's text has: a check box or radio button draws its box before it, a push
// button its frame around it.
int TextRoom(HWND control, int width) {
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return width - GetSystemMetrics(SM_CXMENUCHECK) - 3;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return width - 6;
    default: return -1;  // group boxes and the like: their caption may end where the frame does
    }
}

// "id 'text' is N pixels long, has W x H" for a control whose text would be cut; empty when it fits.
std::string Clipped(HWND control) {
    wchar_t className[32] = L"";
    wchar_t text[256] = L"";
    GetClassNameW(control, className, 32);
    GetWindowTextW(control, text, 256);
    if (text[0] == L'\0') return "";
    const bool isStatic = lstrcmpiW(className, L"Static") == 0;
    const bool isButton = lstrcmpiW(className, L"Button") == 0;
    if (isStatic && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) > SS_RIGHT) return "";  // icons, frames
    if (!isStatic && !isButton) return "";
    RECT client;
    GetClientRect(control, &client);
    const int room = isButton ? TextRoom(control, client.right) : client.right;
    if (room < 0) return "";
    HDC dc = GetDC(control);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, room, 0};
    // A label wraps at words within its width: a second line that its height cannot show is lost, and
    // a word wider than the label (the measure then widens) loses its end.
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | (isStatic ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE));
    RECT line = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &line, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    const bool fits = needed.right <= room && (isButton || needed.bottom <= client.bottom);
    if (fits) return "";
    return std::to_string(GetDlgCtrlID(control)) + " '" + Narrow(text) + "' is " + std::to_string(line.right) +
           " pixels long, has " + std::to_string(room) + "x" + std::to_string(client.bottom) + "\n";
}

BOOL CALLBACK CollectClipped(HWND control, LPARAM list) {
    *reinterpret_cast<std::string*>(list) += Clipped(control);
    return TRUE;
}

// The dialog made from the shipped template, as a hidden top-level window (a page's template is a
// child one), its controls' texts measured in the font the template gave them.
std::string ClippedTexts(const char* program, LPCSTR name) {
    ShippedProgram shipped(program);
    std::vector<uint8_t> bytes = shipped.Resource(RT_DIALOG, name);
    if (bytes.size() < 16) return "no template";
    // DLGTEMPLATEEX (signature 0xFFFF) has its style after version, signature, help id and extended style.
    const size_t at = bytes[2] == 0xFF && bytes[3] == 0xFF ? 12 : 0;
    DWORD style;
    std::memcpy(&style, &bytes[at], sizeof style);
    style = (style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    std::memcpy(&bytes[at], &style, sizeof style);
    HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr, QuietDialog, 0);
    if (dialog == nullptr) return "not created";
    std::string clipped;
    EnumChildWindows(dialog, CollectClipped, reinterpret_cast<LPARAM>(&clipped));
    DestroyWindow(dialog);
    return clipped;
}

TEST(ResourceTextFit, NoTextOfAnyDialogIsCutByItsControl) {
    const INITCOMMONCONTROLSEX controls = {sizeof controls,
                                           ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const struct {
        const char* program;
        LPCSTR name;
    } dialogs[] = {
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_IO_PAGE)},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_COMMUNICATION_PAGE)},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_CALIBRATION_PAGE)},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_DIAGNOSTIC_PAGE)},
        {"Orvi.exe", "SOBRE"},
        {"Orvi.exe", "COMUNIC"},
        {"Orvi.exe", "CXDLGCOMM"},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_CHANGE_HISTORY)},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_LINE_DIAGNOSIS)},
        {"Orvi.exe", MAKEINTRESOURCEA(IDD_NEW_CONFIG_FILE)},
        {"Configurador.exe", "SOBRE"},
    };
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(std::string(dialog.program) + " " +
                     (IS_INTRESOURCE(dialog.name) ? std::to_string(reinterpret_cast<ULONG_PTR>(dialog.name))
                                                  : std::string(dialog.name)));
        EXPECT_EQ(ClippedTexts(dialog.program, dialog.name), "");
    }
}

}  // namespace
