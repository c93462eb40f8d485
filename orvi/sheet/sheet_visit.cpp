// The sheet's visit: what it read, and the file opened on it, taken, shown, written and dropped.
#include "sheet_visit.h"

#include "write_journal.h"

namespace {
SheetVisit* currentVisit = nullptr;

// The tag goes on the journal lines only while its file is on the sheet.
void Drop(FileOnSheet& onSheet) {
    if (onSheet.present) JournalSetTag("");
    onSheet = FileOnSheet{};
}
}  // namespace

SheetVisit::SheetVisit(const SheetHost& host, HWND owner, const SheetFile* opened, bool standAlone)
    : host(host), owner(owner), standAloneMode(standAlone), onDesk(false) {
    currentVisit = this;
    JournalSetTransmitter(&readConfig, &trims);
    if (opened) TakeFile(*opened);
}

SheetVisit::SheetVisit(const SheetHost& host, HWND owner, const DeskFile& desk)
    : host(host), owner(owner), standAloneMode(false), onDesk(true), deskFile(desk) {
    currentVisit = this;
    // No transmitter is read: a write made meanwhile (there should be none) names none.
    JournalSetTransmitter(nullptr);
}

SheetVisit::~SheetVisit() {
    Drop(file);
    if (currentVisit != this) return;
    JournalSetTransmitter(nullptr);
    currentVisit = nullptr;
}

void SheetVisit::DecodeConfigBlock(const uint16_t* words) {
    ::DecodeConfigBlock(words, configSnapshot, lastKnown, readConfig);
    readHeld = true;
}

void SheetVisit::TakeFile(const SheetFile& taken) {
    Drop(file);
    file.present = true;
    file.file = taken;
    JournalSetTag(taken.tag);
}

SheetVisit* CurrentVisit() { return currentVisit; }

HWND ConfigSheetWindow() { return currentVisit != nullptr ? currentVisit->configSheetWindow : NULL; }

const ConfigSnapshot* HeldTransmitterRead() {
    if (ConfigSheetWindow() == NULL || !currentVisit->readHeld) return nullptr;
    return &currentVisit->readConfig;
}

void TakeTransmitterRead(const ConfigSnapshot& read) {
    if (currentVisit == nullptr) return;
    currentVisit->readConfig = read;
    currentVisit->readHeld = true;
}

void ForgetTransmitterRead() {
    if (currentVisit == nullptr) return;
    currentVisit->readConfig = ConfigSnapshot{};
    currentVisit->readHeld = false;
    currentVisit->trims = HeldTrims{};
}

const SheetFile* SheetFileToShow() {
    if (currentVisit == nullptr || !currentVisit->file.present || currentVisit->file.shown) return nullptr;
    return &currentVisit->file.file;
}

void NoteSheetFileShown() {
    if (currentVisit == nullptr || !currentVisit->file.present) return;
    FileOnSheet& onSheet = currentVisit->file;
    onSheet.shown = true;
    onSheet.offsetWaiting = onSheet.file.values.indicationOffset != currentVisit->lastKnown.indicationOffset;
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
