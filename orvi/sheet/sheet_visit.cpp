// The sheet's visit and the file opened on it: taken, shown, written and dropped.
#include "sheet_visit.h"

#include "io_page.h"
#include "write_journal.h"

namespace {
SheetVisit* currentVisit = nullptr;

// The tag goes on the journal lines only while its file is on the sheet.
void Drop(FileOnSheet& onSheet) {
    if (onSheet.present) JournalSetTag("");
    onSheet = FileOnSheet{};
}

void Take(FileOnSheet& onSheet, const SheetFile& file) {
    Drop(onSheet);
    onSheet.present = true;
    onSheet.file = file;
    JournalSetTag(file.tag);
}
}  // namespace

SheetVisit::SheetVisit(const SheetFile* opened) {
    currentVisit = this;
    if (opened) Take(file, *opened);
}

SheetVisit::~SheetVisit() {
    Drop(file);
    currentVisit = nullptr;
}

bool TakeFileOnSheet(const SheetFile& file) {
    if (currentVisit == nullptr) return false;
    Take(currentVisit->file, file);
    ShowSheetFile(ioPageWindow);
    return true;
}

const SheetFile* SheetFileToShow() {
    if (currentVisit == nullptr || !currentVisit->file.present || currentVisit->file.shown) return nullptr;
    return &currentVisit->file.file;
}

void NoteSheetFileShown() {
    if (currentVisit == nullptr || !currentVisit->file.present) return;
    FileOnSheet& onSheet = currentVisit->file;
    onSheet.shown = true;
    onSheet.offsetWaiting = onSheet.file.values.indicationOffset != lastKnown.indicationOffset;
}

void DropSheetFile() {
    if (currentVisit != nullptr) Drop(currentVisit->file);
}

bool WaitingFileOffset(int16_t* offset) {
    if (currentVisit == nullptr || !currentVisit->file.offsetWaiting) return false;
    *offset = currentVisit->file.file.values.indicationOffset;
    return true;
}

void DropWaitingFileOffset() {
    if (currentVisit != nullptr) currentVisit->file.offsetWaiting = false;
}

void LineSettingsChanged() {
    ForgetTransmitterRead();
    DropSheetFile();
}
