// Apply on the Input/Output page: the consistency checks, then the register writes with Abort/Retry/Ignore.
#include "io_page_apply.h"
#include <commctrl.h>
#include "config_snapshot.h"
#include "configuration_rules.h"
#include "io_page_desk_file.h"
#include "io_page_file_values.h"
#include "io_page_message_box.h"
#include "sheet_visit.h"
#include "io_write_sequence.h"
#include "transactions.h"

namespace {

WriteFailureAnswer AskAfterFailedWrite(const char* message, void* context) {
    const int answer =
        ioPageMessageBox(static_cast<HWND>(context), message, "Erro na escrita", MB_ICONWARNING | MB_ABORTRETRYIGNORE);
    if (answer == IDABORT) return kWriteAbort;
    if (answer == IDRETRY) return kWriteRetry;
    return kWriteIgnore;
}

}  // namespace

LONG_PTR ApplyIoPage(HWND page) {
    const SheetVisit& visit = *CurrentVisit();
    const ConfigSnapshot& s = visit.configSnapshot;
    // The apply writes every value again, so any problem stops it, held or not.
    const std::vector<ConfigProblem> problems = CheckConfiguration(visit.readConfig, s);
    if (!problems.empty()) {
        ioPageMessageBox(page, problems.front().message.c_str(), "Inconsistência", MB_ICONWARNING | MB_OK);
        // Keep the sheet open on this page, so that OK does not throw the user's edits away.
        return PSNRET_INVALID;
    }
    // A desk file takes the checked values instead of a transmitter; the sheet stays open when it cannot.
    if (visit.onDesk) return WriteDeskFile(page) ? PSNRET_NOERROR : PSNRET_INVALID;
    if (RunIoWriteSequence(s, WriteRegister, AskAfterFailedWrite, page) && !WriteWaitingOffset(page))
        return PSNRET_INVALID;  // the sheet stays open on the page, the file's offset still waiting
    return PSNRET_NOERROR;
}
