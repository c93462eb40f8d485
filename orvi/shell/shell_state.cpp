// The shell's program-wide state: instance, main window and icon.
#include "shell/shell_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HICON programIcon = nullptr;
