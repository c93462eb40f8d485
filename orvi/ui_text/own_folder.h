// The folder of the running program's own file, where the suite keeps its programs and guide.
#pragma once
#include <string>

// Ends in a backslash; empty when the system does not say. The working folder may be anything.
std::wstring ProgramFolder();
