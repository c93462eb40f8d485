// One visit of the configuration sheet, from its opening to its closing (or one run of the
// Communication page as a dialog of its own): what was read from the transmitter, what the pages show
// and edit of it, the pages' own state, and the configuration file opened on it. The file's values
// wait on the pages for OK or Apply, its indication offset waits for that apply, and the measuring
// point it names goes on the journal lines of the writes made meanwhile. All of it belongs to the
// visit and to the transmitter it was opened for: the read goes on any change of the line and when a
// read fails, the file also on "&Ler" and on another file, and everything when the sheet closes (OK,
// Cancel, the close box).
//
// A visit may also be made for a configuration file alone (a desk file): no transmitter is read or
// written then, the pages edit the file's values, and OK or Apply write the file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "config_snapshot.h"
#include "file_extras.h"
#include "live_calibration.h"
#include "write_journal.h"

class SheetHost;

// A configuration file as the sheet takes it.
struct SheetFile {
    ConfigSnapshot values;  // the editable fields and the indication offset the file makes of the transmitter's
    std::string tag;        // the measuring point the file names, as the file reader gives it; empty for none
};

// A configuration file the sheet edits without a transmitter.
struct DeskFile {
    std::wstring path;      // where OK and Apply write it (it may not exist yet)
    FileExtras extras;      // what the file holds beyond the values (origin, firmware, tag, people's own
                            // lines): written again as it is by every apply
    ConfigSnapshot values;  // the editable fields and the indication offset the pages start from
};

// A file on the sheet and how far it has come.
struct FileOnSheet {
    bool present = false;
    bool shown = false;          // its values are on the Input/Output page
    bool offsetWaiting = false;  // its offset differs from the transmitter's and waits for the apply
    SheetFile file;
};

// Held by the sheet's opening for as long as the sheet runs, and reached through CurrentVisit()
// and the functions below while it does; nothing of it outlives it. The journal of the writes made
// meanwhile takes its serial number and values before from readConfig.
class SheetVisit {
public:
    // file: the file opened before the sheet (service window), or null. standAlone: the
    // Communication page runs alone, as the search dialog.
    SheetVisit(const SheetHost& host, HWND owner, const SheetFile* file, bool standAlone = false);
    // A visit of the sheet on a desk file, with no transmitter.
    SheetVisit(const SheetHost& host, HWND owner, const DeskFile& desk);
    ~SheetVisit();
    SheetVisit(const SheetVisit&) = delete;
    SheetVisit& operator=(const SheetVisit&) = delete;

    // A read of the configuration block: the pages show it, and it is the transmitter's read now.
    void DecodeConfigBlock(const uint16_t* words);
    // Takes a file in place of any earlier one; its values wait to be shown.
    void TakeFile(const SheetFile& file);

    const SheetHost& host;
    const HWND owner;               // the window the sheet or dialog belongs to
    const bool standAloneMode;      // the Communication page runs as a dialog of its own
    const bool onDesk;              // the sheet edits deskFile: nothing goes on the line
    HWND configSheetWindow = NULL;  // the property sheet once made; null for the dialog
    HWND ioPageWindow = NULL;       // the Input/Output page while it exists

    // What the pages show and edit, zeroed until the first read, and the value last seen of each
    // editable field, against which edits are detected.
    ConfigSnapshot configSnapshot = {};
    ConfigSnapshot lastKnown = {};
    // What the transmitter on the line holds as last read, kept current by the writes (the pages edit
    // configSnapshot before they write it); zeroed while none is held (serial number 0 names no
    // transmitter, and no value before a write comes from it).
    ConfigSnapshot readConfig = {};
    bool readHeld = false;

    // The Calibration page: what it shows and takes from the spins, and what was last read from or
    // written to the transmitter.
    CalibrationValues calibration = {};
    CalibrationValues calibrationKnown = {};
    // The trims as read from the transmitter the visit holds, for the values before of trim writes;
    // they go with its read.
    HeldTrims trims;

    // The Diagnostic page: the status word of the latest successful poll and the one the list was
    // last built for; a tick writing the offset (its prompt included); the offset text whose value
    // the transmitter holds, set by the page, never by the user's typing.
    uint16_t statusBits = 0;
    uint16_t shownStatusBits = 0;
    bool offsetWriteBusy = false;
    std::string settledOffsetText;

    FileOnSheet file;
    DeskFile deskFile;  // while onDesk; written back by each apply
};

// The visit under way; null between visits. The pages run only inside one.
SheetVisit* CurrentVisit();

// The open property sheet's window; null while no sheet is open.
HWND ConfigSheetWindow();

// The read the open sheet holds (the line unchanged and no read failed since), kept current by its
// writes; null without one.
const ConfigSnapshot* HeldTransmitterRead();
// A read of the transmitter on the line made by another command while a visit runs: it is the
// visit's read now; what the pages show and have seen stays.
void TakeTransmitterRead(const ConfigSnapshot& read);
// Drops what the visit read: the line's settings changed, or a read failed, so whatever answers now
// may be another transmitter. Nothing without a visit.
void ForgetTransmitterRead();

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
