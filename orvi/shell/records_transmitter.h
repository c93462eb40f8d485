// The transmitter the records' commands speak of: the configuration the open sheet keeps, or a fresh read.
#pragma once
#include <windows.h>

#include <string>

#include "config_snapshot.h"

// Fills *config with what the transmitter holds. With the sheet open on a transmitter whose serial
// number is known, that is the configuration the sheet read, kept current by its writes (no traffic);
// otherwise the configuration block is read now, behind the please-wait window, leaving the pages'
// edits as they are. A read that fails is told in a box whose last line is `consequence` (CP1252),
// and the result is false. The caller holds a TransmitterAction.
bool TransmitterConfiguration(HWND owner, const char* consequence, ConfigSnapshot* config);

// "endereço 1, 9600 bit/s, COM1": the line the configuration is read on (CP1252).
std::string LineDescriptionText();
