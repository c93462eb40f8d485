// A program's record of its writes: every register or private write the link makes becomes one journal line.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct ConfigSnapshot;

// Installs the link's write observer. program names the writer in every line; portName gives the
// open line's name (UTF-8); complain says that the journal could not be written, once a run.
void StartWriteJournal(const char* program, std::function<std::string()> portName,
                       void (*complain)(const std::string& utf8));

class Line;
// Journals the writes of line too (StartWriteJournal journals the configurator's line).
void JournalWritesOf(Line& line);

// The measuring point named by the file being loaded (UTF-8); kept for the lines that follow.
void JournalSetTag(const std::string& tag);

// The configuration the transmitter written to was read or confirmed to hold: its serial number names
// the transmitter on each line (0: none known) and its values are the values before; each write keeps
// it current. Null: nothing is known of it. Until a program sets one, the command-line tool's
// program-wide readConfig.
void JournalSetTransmitter(ConfigSnapshot* transmitter);
