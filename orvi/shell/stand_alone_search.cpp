// Running the automatic search dialog on its own, and what the service mode restores after it.
#include "shell/stand_alone_search.h"

#include "link/serial_port.h"
#include "sheet/config_sheet.h"
#include "shell/shell_messages.h"
#include "shell/shell_state.h"

namespace {
constexpr WORD kCommunicationPageTemplate = 103;
}

void RunStandAloneSearch(HWND owner) {
    standAloneMode = 1;
    RunDialog(MAKEINTRESOURCEA(kCommunicationPageTemplate), owner, CommunicationPageProc);
}

void RunSearchFromMenu(HWND owner) {
    RunStandAloneSearch(owner);
    standAloneMode = 0;
    ClosePort();  // harmless when the page has closed it already
    if (!OpenPort()) ReportPortFailure(owner);
}
