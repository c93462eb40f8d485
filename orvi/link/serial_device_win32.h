// Win32 hooks of the serial port for tests: the device-control block last applied to the port.
#pragma once
#include <windows.h>

// Copies the block of the last successful SetCommState; false before any.
bool LastAppliedLineSettings(DCB* dcb);
