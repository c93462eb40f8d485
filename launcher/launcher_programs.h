// The programs the launcher knows: the files it checks and the command lines it starts.
#pragma once
#include <cstddef>

struct CheckedProgram {
    const char* fileName;
    unsigned toolsMenuPosition;  // entry of the "&Ferramentas" popup greyed when the file is missing
};

extern const CheckedProgram kCheckedPrograms[];
extern const size_t kCheckedProgramCount;

// The command line that a menu identifier starts, or nullptr for one that starts nothing.
const char* CommandLineForMenu(unsigned menuId);
