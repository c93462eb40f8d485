// Text out of orvictl: results on standard output, messages on standard error; UTF-8 inside, UTF-8 or the
// console outside.
#pragma once
#include <string>

#include "text_convert.h"

// Platform parts (orvictl_posix.cpp / orvictl_win32.cpp): the streams themselves.
void WriteStdout(const std::string& utf8);
void WriteStderr(const std::string& utf8);
bool StdoutIsTerminal();
bool StderrIsTerminal();

// Standard output and standard error, or the thread's TextCapture while one lives.
void WriteOut(const std::string& utf8);
void WriteErr(const std::string& utf8);

// While one lives on a thread, what that thread writes with WriteOut and WriteErr (Complain too) is
// kept here instead: lines worked at once each print their text whole, never mixed with another's.
class TextCapture {
public:
    TextCapture();
    ~TextCapture();
    TextCapture(const TextCapture&) = delete;
    TextCapture& operator=(const TextCapture&) = delete;

    // What was written since the last Take, handed over.
    std::string TakeOut();
    std::string TakeErr();

private:
    friend void WriteOut(const std::string& utf8);
    friend void WriteErr(const std::string& utf8);
    TextCapture* outer_;
    std::string out_, err_;
};

// A message line on standard error, prefixed with the program's name.
void Complain(const std::string& utf8);
