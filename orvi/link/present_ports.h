// The serial ports the system reports present.
#pragma once
#include <string>
#include <vector>

// The port names (COM7 ...) that the drivers have published, in no particular order; empty when none.
std::vector<std::string> PresentPortNames();
