// What the records need of the operating system: where the journal lives, who and where we are, and
// whole-file reads and single appends (records_platform_posix.cpp / records_platform_win32.cpp).
#pragma once
#include <ctime>
#include <string>

// Paths, names and problems (short texts for a message) are UTF-8.

// $XDG_STATE_HOME/orvi/journal.jsonl (~/.local/state/orvi/) or %LOCALAPPDATA%\Tavelo\journal.jsonl;
// empty when neither the variable nor a home folder is known.
std::string JournalPath();
std::string CurrentUserName();
std::string MachineName();

// Appends a line (ending in a newline) with one write to a file opened in append mode (created, with
// its folder, when missing), so that two programs appending at once never interleave their lines.
// A file left ending in a torn line (a full disk, a crash) gets a newline ahead of it in the same
// write, so that the new line is never glued to the broken one.
bool AppendLineToFile(const std::string& path, const std::string& line, std::string* problem);
// The whole file; false when it cannot be read (a missing file is not an error: *missing is set).
bool ReadWholeFile(const std::string& path, std::string* bytes, bool* missing);
// Replaces the file at path with bytes: they go to a temporary file of its own unique name in the
// same folder, are flushed to the disk, and that file is renamed over path. A failure leaves path as
// it was and no temporary file behind.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string* problem);
// The broken-down local time of a moment (localtime_r or localtime_s).
std::tm LocalTimeOf(std::time_t seconds);
