// The configuration of the transmitter on the line, for the records' commands.
#pragma once
#include <windows.h>

// Makes readConfig hold the transmitter's configuration: as the open sheet last read or wrote it,
// or, without a sheet, read now (the transmitter on the line may have been swapped since the last
// reading). False, after a message box owned by owner, when the read fails.
bool HoldTransmitterConfiguration(HWND owner);

// "endereço 1, 9600 bit/s, COM1": the line the configuration was read on (CP1252).
const char* LineDescriptionText();
