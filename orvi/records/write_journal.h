// A program's record of its writes: every register or private write the link makes becomes one journal line.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "live_calibration.h"

struct ConfigSnapshot;

// The output trims (private values 21 to 24) the transmitter on a line was read to hold, each known
// or not: the values before of their writes, kept current by them.
struct HeldTrims {
    bool known[kCalibrationValueCount] = {};
    CalibrationValues values = {};
};

// Installs the link's write observer. program names the writer in every line; portName gives the
// open line's name (UTF-8); complain says that the journal could not be written, once a run.
void StartWriteJournal(const char* program, std::function<std::string()> portName,
                       void (*complain)(const std::string& utf8));

class Line;
// Journals the writes of line too (StartWriteJournal journals the configurator's line); transmitter
// is what the transmitter on that line was read or confirmed to hold (see JournalSetTransmitter),
// kept current by the writes, and trims (null: none known) its output trims as read; both outlive the
// line's writes. portName names the line's open port (empty: StartWriteJournal's); lines on several
// threads each keep their own state.
void JournalWritesOf(Line& line, ConfigSnapshot* transmitter, HeldTrims* trims = nullptr,
                     std::function<std::string()> portName = {});

// The measuring point named by the file being loaded (UTF-8); kept for the lines that follow.
void JournalSetTag(const std::string& tag);

// The configuration the transmitter on the configurator's line was read or confirmed to hold: its
// serial number names the transmitter on each journal line (0: none known) and its values are the
// values before; each write keeps it current. Null (the start): nothing is known of it. trims: its
// output trims as read (null: none known), the values before of the trim writes, kept current likewise.
void JournalSetTransmitter(ConfigSnapshot* transmitter, HeldTrims* trims = nullptr);
