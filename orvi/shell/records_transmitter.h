// The transmitter the records' commands speak of: read afresh for a record, or the read the open sheet holds.
#pragma once
#include <windows.h>

#include <string>

#include "config_snapshot.h"

// Fills *config with what the transmitter on the line holds now: the configuration block, serial
// number and firmware included, read in one request behind the please-wait window, leaving the pages'
// edits as they are. A file, a report or a history is built from this one read of one transmitter;
// with a sheet open, it is the sheet's read from now on. A read that fails drops what the open sheet
// read before (whatever answers later may be another transmitter), is told in a box whose last line
// is `consequence` (CP1252), and the result is false. The caller holds a TransmitterAction.
bool ReadTransmitterConfiguration(HWND owner, const char* consequence, ConfigSnapshot* config);

// The same, except that with the sheet open on a read it still holds (the line unchanged and no read
// failed since), that read, kept current by the sheet's writes, is taken without traffic.
bool HeldTransmitterConfiguration(HWND owner, const char* consequence, ConfigSnapshot* config);

// "endereço 1, 9600 bit/s, COM1": the line the configuration is read on (UTF-8, for the records).
std::string LineDescriptionText();
