// Command line of orvi-sim.
#pragma once

#include <string>
#include <vector>

#include "bus.h"

namespace orvisim {

struct SimOptions {
    std::string link;                 // where the pty's slave side is published
    std::vector<DeviceSpec> devices;  // the first from --address/--baud, then each --device
    int controlPort = -1;             // -1: no control channel; 0: any free port
    std::string controlFile;          // receives the control port once listening
    bool quiet = false;
    bool help = false;
};

// False with a message for a bad command line.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions* options, std::string* error);

std::string SimHelpText();

}  // namespace orvisim
