// The shell's program-wide state: instance, main window, icon and the stand-alone flag.
#include "shell/shell_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HICON programIcon = nullptr;
int32_t standAloneMode = 0;
