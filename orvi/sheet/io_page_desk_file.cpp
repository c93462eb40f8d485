// The Input/Output page on a desk file: its values as the page's own, and the apply writing the file.
#include "io_page_desk_file.h"

#include <commctrl.h>

#include <string>

#include "config_ini.h"
#include "io_page_fill.h"
#include "records_platform.h"
#include "resource.h"
#include "sheet_visit.h"
#include "ui_text.h"

void ShowDeskFile(HWND page) {
    SheetVisit& visit = *CurrentVisit();
    visit.configSnapshot = visit.lastKnown = visit.deskFile.values;
    FillIoPage(page);
    const int lineIds[] = {IDC_DESK_FILE_LABEL, IDC_DESK_FILE_PATH};
    for (int id : lineIds) ShowWindow(GetDlgItem(page, id), SW_SHOW);
    SetDlgItemTextW(page, IDC_DESK_FILE_PATH, visit.deskFile.path.c_str());
}

bool WriteDeskFile(HWND page) {
    const DeskFile& desk = CurrentVisit()->deskFile;
    const std::string text = FormatConfigFile(CurrentVisit()->configSnapshot, desk.extras);
    std::string problem;
    if (!ReplaceWholeFile(Utf8FromWide(desk.path), text, &problem)) {
        // The path and the reason are people's and the system's texts: UTF-16 from UTF-8, never through 1252.
        const std::wstring message = WideFrom1252("Não foi possível gravar o arquivo\n") + desk.path + L"\n(" +
                                     WideFromUtf8(problem) + WideFrom1252(")\n\nAs alterações continuam nas páginas.");
        MessageBoxW(page, message.c_str(), WideFrom1252("Erro na escrita").c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}
