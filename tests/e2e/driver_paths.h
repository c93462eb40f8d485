// Where the programs under test and the driver's scratch folder are (set by tests/e2e/run).
#pragma once
#include <string>

std::string DistFolder();     // ORVI_E2E_DIST: Orvi.exe and Configurador.exe
std::string ScratchFolder();  // ORVI_E2E_SCRATCH: a folder the driver may fill and empty
std::string OrviProgram();
std::string LauncherProgram();

// A command line: the program's path in quotes, then the argument tail exactly as given.
std::string CommandLine(const std::string& program, const std::string& tail);
