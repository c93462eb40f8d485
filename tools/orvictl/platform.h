// What orvictl needs of the operating system beyond the serial device: Ctrl-C, pauses, port names and errors.
#pragma once
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "records_platform.h"

// The program's arguments as UTF-8, the program's name first. Windows: from the wide command line,
// since the ANSI argv loses every character the code page lacks.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Files by their UTF-8 names (wide names on Windows); on failure errno says why (FileErrorText).
FILE* OpenFile(const std::string& path, const char* mode);
// A file that must not exist yet (EEXIST when it does), opened for writing.
FILE* CreateNewFile(const std::string& path);
bool IsFolder(const std::string& path);
// A folder made, or one already there: false (errno says why) for anything else.
bool MakeFolder(const std::string& path);
// The file removed; false when it was not there or could not be (errno says why).
bool RemoveFile(const std::string& path);

// Ctrl-C (and SIGTERM) only set a flag: loops look at it between transactions, so no request is
// cut in half and the port is closed on the way out.
void InstallInterruptHandler();
// An unattended console tool shows no box: on Windows the system's own error boxes (a drive not
// ready, a disk error) go back to the caller as errors instead. Nothing to do elsewhere.
void SuppressSystemErrorBoxes();
bool Interrupted();
// Waits ms milliseconds; false as soon as Ctrl-C arrives.
bool PauseUnlessInterrupted(uint32_t ms);

// A serial port present on this machine: the name to give --port and, where the system has one,
// what is plugged in (Linux: the /dev/serial/by-id name of an adapter).
struct SerialPortListing {
    std::string name;
    std::string description;
};
// Linux: the adapters in /dev/serial/by-id, by the device each names; Windows: the SERIALCOMM list.
std::vector<SerialPortListing> ListSerialPorts();

// The port used without --port: on Windows savedPort (orvi.ini's), on Linux the first adapter's usual name.
std::string DefaultPortName(const std::string& savedPort);
// Records why the last open of a port failed (errno or GetLastError), right after the failure.
void NotePortOpenFailure();
// That reason in Portuguese, for the message.
std::string PortOpenFailureText();
