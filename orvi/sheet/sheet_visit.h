// One visit of the configuration sheet, from its opening to its closing (or one run of the
// Communication page as a dialog of its own), and the configuration file opened on it: the file's
// values wait on the pages for OK or Apply, its indication offset waits for that apply, and the
// measuring point it names goes on the journal lines of the writes made meanwhile. All of it
// belongs to the visit and to the transmitter it was opened for: it goes when the sheet closes (OK,
// Cancel, the close box), on "&Ler", on another file and on any change of the line.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "config_snapshot.h"

class SheetHost;

// A configuration file as the sheet takes it.
struct SheetFile {
    ConfigSnapshot values;  // the editable fields and the indication offset the file makes of the transmitter's
    std::string tag;        // the measuring point the file names, as the file reader gives it; empty for none
};

// A file on the sheet and how far it has come.
struct FileOnSheet {
    bool present = false;
    bool shown = false;          // its values are on the Input/Output page
    bool offsetWaiting = false;  // its offset differs from the transmitter's and waits for the apply
    SheetFile file;
};

// Held by the sheet's opening for as long as the sheet runs, and reached through CurrentVisit()
// and the functions below while it does; nothing of it outlives it.
class SheetVisit {
public:
    // file: the file opened before the sheet (service window), or null. standAlone: the
    // Communication page runs alone, as the search dialog.
    SheetVisit(const SheetHost& host, HWND owner, const SheetFile* file, bool standAlone = false);
    ~SheetVisit();
    SheetVisit(const SheetVisit&) = delete;
    SheetVisit& operator=(const SheetVisit&) = delete;

    // Takes a file in place of any earlier one; its values wait to be shown.
    void TakeFile(const SheetFile& file);

    const SheetHost& host;
    const HWND owner;               // the window the sheet or dialog belongs to
    const bool standAloneMode;      // the Communication page runs as a dialog of its own
    HWND configSheetWindow = NULL;  // the property sheet once made; null for the dialog
    HWND ioPageWindow = NULL;       // the Input/Output page while it exists
    FileOnSheet file;
};

// The visit under way; null between visits.
SheetVisit* CurrentVisit();

// The open property sheet's window; null while no sheet is open.
HWND ConfigSheetWindow();

// The visit's file while its values are not on the page yet (opened before the sheet); null otherwise.
const SheetFile* SheetFileToShow();
// The values are on the page now: the offset waits when it differs from the transmitter's.
void NoteSheetFileShown();
// Drops the visit's file: the values not yet shown, the offset waiting and the tag.
void DropSheetFile();

// The file's offset that waits for the next apply; false when none waits.
bool WaitingFileOffset(int16_t* offset);
// Written by the apply, or replaced by the user's own offset on the Diagnostic page.
void DropWaitingFileOffset();

// The line's settings changed (address, rate or port; "&Conectar", "&Modificar", "&Procurar",
// "&Ler", the host communication dialog): the transmitter answering now may be another one, so
// what was read and the file opened for the one before both go.
void LineSettingsChanged();
