// Serial port names: which ones can be opened, and the entries of the port lists.
#pragma once
#include <string>
#include <vector>

constexpr int kHighestPortNumber = 255;

// n for "COMn" (1..255, any letter case, no leading zero), 0 for any other name ("None" among them).
int PortNumber(const char* name);

// "None", COM1..COM4, then the other COMn of present (in number order, each once); names of
// present that are not COMn are left out.
std::vector<std::string> PortListNames(const std::vector<std::string>& present);
