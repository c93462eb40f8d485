// The operating-system parts orvictl's decisions call, for the native tests: output kept in memory.
#include "captured_output.h"

#include "platform.h"
#include "text_output.h"

std::string& CapturedOut() {
    static std::string text;
    return text;
}

std::string& CapturedErr() {
    static std::string text;
    return text;
}

void ClearCaptured() {
    CapturedOut().clear();
    CapturedErr().clear();
}

void WriteOut(const std::string& cp1252) { CapturedOut() += cp1252; }
void WriteErr(const std::string& cp1252) { CapturedErr() += cp1252; }
bool StdoutIsTerminal() { return false; }
bool StderrIsTerminal() { return false; }
void NotePortOpenFailure() {}
