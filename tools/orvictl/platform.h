// What orvictl needs of the operating system beyond the serial device: Ctrl-C, pauses, port names and errors.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

// Ctrl-C (and SIGTERM) only set a flag: loops look at it between transactions, so no request is
// cut in half and the port is closed on the way out.
void InstallInterruptHandler();
bool Interrupted();
// Waits ms milliseconds; false as soon as Ctrl-C arrives.
bool PauseUnlessInterrupted(uint32_t ms);

// The port used when neither --port nor orvi.ini names one (after LoadCommSettings).
std::string DefaultPortName();
// Records why the last open of a port failed (errno or GetLastError), right after the failure.
void NotePortOpenFailure();
// That reason in Portuguese, for the message.
std::string PortOpenFailureText();
// The broken-down local time of a moment (localtime_r or localtime_s).
std::tm LocalTimeOf(std::time_t seconds);
