// The four-page configuration sheet: page and sheet descriptions, run modally.
#include "config_sheet.h"
#include <commctrl.h>
#include "io_page.h"
#include "resource.h"
#include "sheet_host.h"
#include "sheet_visit.h"
#include "ui_text.h"

namespace {

// The start of a DLGTEMPLATEEX, which no header declares.
struct DialogTemplateExHead {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
};

struct PageDescription {
    int templateId;
    DLGPROC procedure;
};

// In tab order; the first page reads the transmitter while the sheet is being created.
const PageDescription kPages[] = {
    {IDD_IO_PAGE, IoPageProc},
    {IDD_COMMUNICATION_PAGE, CommunicationPageProc},
    {IDD_CALIBRATION_PAGE, CalibrationPageProc},
    {IDD_DIAGNOSTIC_PAGE, DiagnosticPageProc},
};
const int kPageCount = sizeof kPages / sizeof kPages[0];

// On a desk file: the same templates, the pages that need a line with procedures that never reach it.
const PageDescription kDeskPages[kPageCount] = {
    {IDD_IO_PAGE, IoPageProc},
    {IDD_COMMUNICATION_PAGE, DeskCommunicationPageProc},
    {IDD_CALIBRATION_PAGE, DeskCalibrationPageProc},
    {IDD_DIAGNOSTIC_PAGE, DeskDiagnosticPageProc},
};

const UINT_PTR kRecordsSubclass = 1;

// The program's commands (the records') come from the sheet's system menu (the caption icon), in every run mode.
LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    // The system uses the low four bits of a system command itself.
    if (message == WM_SYSCOMMAND && CurrentVisit() != nullptr &&
        CurrentVisit()->host.RunSystemMenuCommand(sheet, static_cast<UINT>(wParam & 0xFFF0)))
        return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(sheet, SheetSubclassProc, kRecordsSubclass);
    return DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
    SheetVisit& visit = *CurrentVisit();
    if (message == PSCB_INITIALIZED) {
        visit.configSheetWindow = sheet;
        // The program's commands there read or write the transmitter: a desk file's sheet has none.
        if (!visit.onDesk) {
            visit.host.AddSystemMenuCommands(sheet);
            SetWindowSubclass(sheet, SheetSubclassProc, kRecordsSubclass, 0);
        }
        return 0;
    }
    // A window owned by another gets no taskbar button of its own; with the owner hidden (the sheet
    // mode) the sheet would have none at all.
    if (message != PSCB_PRECREATE || visit.owner == NULL || IsWindowVisible(visit.owner)) return 0;
    auto* words = reinterpret_cast<WORD*>(lParam);
    if (words[1] == 0xFFFF) {  // the signature of an extended template
        reinterpret_cast<DialogTemplateExHead*>(lParam)->exStyle |= WS_EX_APPWINDOW;
    } else {
        reinterpret_cast<DLGTEMPLATE*>(lParam)->dwExtendedStyle |= WS_EX_APPWINDOW;
    }
    return 0;
}

// The sheet of the visit under way, with these pages and caption, run modally.
INT_PTR RunSheet(const SheetHost& host, HWND owner, const PageDescription* descriptions, const std::wstring& caption) {
    PROPSHEETPAGEW pages[kPageCount];
    for (int i = 0; i < kPageCount; ++i) {
        PROPSHEETPAGEW& page = pages[i];
        ZeroMemory(&page, sizeof page);
        page.dwSize = sizeof page;
        page.dwFlags = PSP_HASHELP;  // the tab shows the template's caption
        page.hInstance = host.Resources();
        page.pszTemplate = MAKEINTRESOURCEW(descriptions[i].templateId);
        page.pfnDlgProc = descriptions[i].procedure;
    }

    // The wide sheet makes the sheet and its pages Unicode windows (see ui_text.h).
    PROPSHEETHEADERW sheet;
    ZeroMemory(&sheet, sizeof sheet);
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_USECALLBACK;
    sheet.pfnCallback = SheetCallback;
    sheet.hwndParent = owner;
    sheet.hInstance = host.Resources();
    sheet.hIcon = host.Icon();
    sheet.pszCaption = caption.c_str();
    sheet.nPages = kPageCount;
    sheet.nStartPage = 0;
    sheet.ppsp = pages;
    return PropertySheetW(&sheet);
}

// The file's own name, the last part of its path.
std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

INT_PTR OpenConfigSheet(const SheetHost& host, HWND owner, const SheetFile* file) {
    // What a file brings lives as long as this visit: Cancel, OK or the close box end it.
    SheetVisit visit(host, owner, file);
    return RunSheet(host, owner, kPages, WideFrom1252("Configurador Orvi V1.11"));
}

INT_PTR OpenDeskFileSheet(const SheetHost& host, HWND owner, const DeskFile& desk) {
    SheetVisit visit(host, owner, desk);
    // The file's name is people's text: it joins the caption as UTF-16, never through 1252.
    const std::wstring caption = WideFrom1252("Configurador Orvi V1.11 - ") + FileNameOf(desk.path) +
                                 WideFrom1252(" (arquivo, sem transmissor)");
    return RunSheet(host, owner, kDeskPages, caption);
}
