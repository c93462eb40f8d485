// A configuration file's values on the Input/Output page as the user's edits, and its offset written
// by the apply.
#pragma once
#include <windows.h>

struct SheetFile;

// Takes a file onto the open sheet in place of any earlier one and shows its values on the
// Input/Output page; false when no sheet is open.
bool TakeFileOnSheet(const SheetFile& file);

// The sheet visit's file (sheet_visit.h) on the page as the user's edits, Apply enabled; nothing
// without a live page or a file whose values are not on it yet.
void ShowSheetFile(HWND page);
// At the page's opening, once the configuration was read: the file the visit started with is shown
// by a message to the page, handled by HandleWaitingFileValues.
void ShowWaitingFileValues(HWND page);
bool HandleWaitingFileValues(HWND page, UINT message);
// In the apply, after the page's writes: the file's offset, when one waits, written and read back.
// False (after saying so) when that write failed; the offset then still waits.
bool WriteWaitingOffset(HWND page);
