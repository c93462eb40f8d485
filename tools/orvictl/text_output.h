// Text out of orvictl: results on standard output, messages on standard error; UTF-8 inside, UTF-8 or the
// console outside.
#pragma once
#include <string>

#include "text_convert.h"

// Platform parts (orvictl_posix.cpp / orvictl_win32.cpp).
void WriteOut(const std::string& utf8);  // standard output
void WriteErr(const std::string& utf8);  // standard error
bool StdoutIsTerminal();
bool StderrIsTerminal();

// A message line on standard error, prefixed with the program's name.
void Complain(const std::string& utf8);
