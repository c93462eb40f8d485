// Entry point of Orvi.exe.
#include <windows.h>
#include <objbase.h>

#include "shell/program_start.h"
#include "shell/records_journal.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
    // The Help button opens the guide through ShellExecute, whose shell extensions may need COM in a
    // single-threaded apartment on this, the user-interface thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    StartConfiguratorJournal();
    const int exitCode = RunConfigurator(instance, commandTail, showCommand);
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
