// What the sheet and its pages ask of the program that opens them. The program hands one to
// OpenConfigSheet (and to the Communication page run on its own); it outlives the visit.
#pragma once
#include <windows.h>

class SheetHost {
public:
    // The module whose resources hold the pages' templates, and the sheet's caption icon.
    virtual HINSTANCE Resources() const = 0;
    virtual HICON Icon() const = 0;
    // Shows the program's please-wait window over owner while the transmitter is read; the caller
    // destroys it. Null when none could be made (the read goes on without it).
    virtual HWND ShowPleaseWait(HWND owner) const = 0;
    // The program's own commands in the sheet's system menu: added once the sheet exists, and run
    // when chosen (false for a command that is not one of them).
    virtual void AddSystemMenuCommands(HWND sheet) const = 0;
    virtual bool RunSystemMenuCommand(HWND sheet, UINT command) const = 0;

protected:
    ~SheetHost() = default;
};
