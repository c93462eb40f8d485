// The folder of Configurador.exe, where it looks for and starts the suite's programs.
#pragma once
#include <windows.h>

#include <string>

// The folder of this program's own file, ending in a backslash; empty when the system does not say.
std::wstring ProgramFolder();

// Whether fileName exists in ProgramFolder().
bool ProgramFileExists(const char* fileName);

// Starts "PROGRAM.EXE ARGUMENTS" from ProgramFolder(), with that folder as the working folder;
// false when the program could not be started.
bool StartProgram(const char* commandLine);
