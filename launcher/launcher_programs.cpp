// The launcher's program table: file checks in menu order and the command line of each start entry.
#include "launcher_programs.h"

#include "launcher_ids.h"

const CheckedProgram kCheckedPrograms[] = {
    {"GRAVLO.EXE", 0},
    {"ORVI.EXE", 1},
    {"KOLBA.EXE", 2},
    {"MIREL.EXE", 3},
};
const size_t kCheckedProgramCount = sizeof kCheckedPrograms / sizeof kCheckedPrograms[0];

const char* CommandLineForMenu(unsigned menuId) {
    switch (menuId) {
    case IDM_ORVI_SHEET: return "ORVI.EXE CN";
    case IDM_ORVI_SEARCH: return "ORVI.EXE BA";
    case IDM_GRAVLO_CONFIG: return "GRAVLO.EXE CF";
    case IDM_GRAVLO_SEARCH: return "GRAVLO.EXE BA";
    default: return nullptr;
    }
}
