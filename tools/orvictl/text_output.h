// Text out of orvictl: results on standard output, messages on standard error, CP1252 inside, UTF-8 or the console
// outside.
#pragma once
#include <string>

#include "text_convert.h"

// A command-line argument (UTF-8 on every system, see CommandLineArguments) as CP1252, for messages.
std::string ArgumentText(const char* argument);

// Platform parts (orvictl_posix.cpp / orvictl_win32.cpp).
void WriteOut(const std::string& cp1252);  // standard output
void WriteErr(const std::string& cp1252);  // standard error
// Standard output of text that comes from people and files (the journal's): UTF-8 kept as it is.
void WriteOutUtf8(const std::string& utf8);
bool StdoutIsTerminal();
bool StderrIsTerminal();

// A message line on standard error, prefixed with the program's name.
void Complain(const std::string& cp1252);
