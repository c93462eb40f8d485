// Text out of orvictl: results on standard output, messages on standard error, CP1252 inside, UTF-8 or the console
// outside.
#pragma once
#include <string>

// The program's texts are CP1252 bytes; files and non-console output get UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
// Text from outside (a file, a command line) into CP1252; characters it lacks become '?'.
std::string Utf8ToCp1252(const std::string& text);
// A command-line argument (UTF-8 on every system, see CommandLineArguments) as CP1252, for messages.
std::string ArgumentText(const char* argument);

// printf into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Platform parts (orvictl_posix.cpp / orvictl_win32.cpp).
void WriteOut(const std::string& cp1252);  // standard output
void WriteErr(const std::string& cp1252);  // standard error
bool StdoutIsTerminal();
bool StderrIsTerminal();

// A message line on standard error, prefixed with the program's name.
void Complain(const std::string& cp1252);
