// Entry point of Orvi.exe.
#include <windows.h>

#include "shell/program_start.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
    return RunConfigurator(instance, commandTail, showCommand);
}
