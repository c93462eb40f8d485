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

void WriteStdout(const std::string& utf8) { CapturedOut() += utf8; }
void WriteStderr(const std::string& utf8) { CapturedErr() += utf8; }
bool StdoutIsTerminal() { return false; }
bool StderrIsTerminal() { return false; }
void NotePortOpenFailure() {}
