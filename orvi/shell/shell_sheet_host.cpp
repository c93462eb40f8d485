// What the shell gives the sheet: the program's instance and icon, its please-wait window, and the
// records' commands in the sheet's system menu.
#include "shell/shell_sheet_host.h"

#include "sheet/sheet_host.h"
#include "shell/records_commands.h"
#include "shell/shell_state.h"

namespace {

class ShellSheetHost : public SheetHost {
public:
    HINSTANCE Resources() const override { return programInstance; }
    HICON Icon() const override { return programIcon; }
    HWND ShowPleaseWait(HWND owner) const override { return ::ShowPleaseWait(owner); }
    void AddSystemMenuCommands(HWND sheet) const override { AddRecordsToSystemMenu(sheet); }
    bool RunSystemMenuCommand(HWND sheet, UINT command) const override { return RunRecordsCommand(sheet, command); }
};

const ShellSheetHost host;

}  // namespace

const SheetHost& ProgramSheetHost() { return host; }
