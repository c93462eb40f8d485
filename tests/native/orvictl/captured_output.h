// orvictl's output in the native tests of its decisions: kept in memory instead of the terminal.
#pragma once
#include <string>

std::string& CapturedOut();
std::string& CapturedErr();
void ClearCaptured();
