// The folder of Configurador.exe, where it looks for and starts the suite's programs.
#pragma once
#include <windows.h>

#include <string>

#include "own_folder.h"

// Whether fileName exists in ProgramFolder().
bool ProgramFileExists(const char* fileName);

// Starts "PROGRAM.EXE ARGUMENTS" from ProgramFolder(), with that folder as the working folder;
// false when the program could not be started.
bool StartProgram(const char* commandLine);
