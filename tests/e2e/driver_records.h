// Orvi.exe's records seen from the driver: the journal of writes, a list view's rows, the standard Save dialog.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// %LOCALAPPDATA%\Tavelo\journal.jsonl of the user the tests run as (the prefix's own).
std::string JournalFilePath();
// The journal's lines without their line ends; none when there is no journal.
std::vector<std::string> JournalLines();
void RemoveJournal();
void WriteJournal(const std::string& text);

// The texts (CP1252) of a report-style list view of another process, row by row, column by column.
// LVM_GETITEMTEXT carries a pointer that is not marshalled, so the item is read in the list's own memory.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);

// Answers the standard Open or Save dialog of the process with this caption (CP1252): the file name
// typed in its name box, then its default button pressed; *proposed (when asked) is the name the box
// held first. True once the dialog has closed.
bool ChooseThroughFileDialog(DWORD processId, const std::string& caption, const std::wstring& path,
                             std::string* proposed = nullptr);
