// A configuration file's values on the Input/Output page as the user's edits: nothing is written until
// OK or Apply, which run the page's own checks and writes, and then the file's offset.
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <cstdio>

#include "io_page_file_values.h"
#include "config_snapshot.h"
#include "io_consistency_checks.h"
#include "io_page_fill.h"
#include "io_page_message_box.h"
#include "register_map.h"
#include "sheet_visit.h"
#include "transactions.h"

namespace {
// The sheet disables Apply once its first page is made: values that wait are shown after that.
const UINT kShowWaitingValues = WM_APP + 1;

}  // namespace

bool TakeFileOnSheet(const SheetFile& file) {
    SheetVisit* visit = CurrentVisit();
    if (visit == nullptr || visit->standAloneMode) return false;
    visit->TakeFile(file);
    ShowSheetFile(visit->ioPageWindow);
    return true;
}

void ShowSheetFile(HWND page) {
    const SheetFile* file = SheetFileToShow();
    if (file == nullptr || page == NULL || !IsWindow(page)) return;
    SheetVisit& visit = *CurrentVisit();
    TakeEditableFields(visit.configSnapshot, file->values);
    // The page's next choices start from what it shows: a new input type rescales the file's limits.
    TakeEditableFields(visit.lastKnown, file->values);
    NoteSheetFileShown();
    FillIoPage(page);
    SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void ShowWaitingFileValues(HWND page) {
    if (SheetFileToShow() != nullptr) PostMessageA(page, kShowWaitingValues, 0, 0);
}

bool HandleWaitingFileValues(HWND page, UINT message) {
    if (message != kShowWaitingValues) return false;
    ShowSheetFile(page);
    return true;
}

bool WriteWaitingOffset(HWND page) {
    int16_t offset = 0;
    if (!WaitingFileOffset(&offset)) return true;
    const LinkError result = WriteRegister(kRegIndicationOffset, offset);
    if (result != kLinkOk) {
        char message[kIoMessageSize];
        std::snprintf(message, sizeof message, "Erro na escrita do Offset de indicação (%s)", LinkErrorText(result));
        ioPageMessageBox(page, message, "Erro na escrita", MB_ICONWARNING | MB_OK);
        return false;
    }
    DropWaitingFileOffset();
    SheetVisit& visit = *CurrentVisit();
    visit.configSnapshot.indicationOffset = visit.lastKnown.indicationOffset = offset;
    return true;
}
