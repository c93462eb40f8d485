// Running the automatic search dialog on its own, and what the service mode restores after it.
#include "shell/stand_alone_search.h"

#include "link/serial_port.h"
#include "sheet/communication_page.h"
#include "shell/shell_messages.h"
#include "shell/shell_sheet_host.h"

void RunStandAloneSearch(HWND owner) { RunCommunicationDialog(ProgramSheetHost(), owner); }

void RunSearchFromMenu(HWND owner) {
    RunStandAloneSearch(owner);
    ClosePort();  // harmless when the page has closed it already
    if (!OpenPort()) ReportPortFailure(owner);
}
