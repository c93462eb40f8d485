// The simulator's single-threaded event loop: line bytes in, replies out on time, control commands.
#pragma once

#include "bus.h"
#include "control_commands.h"
#include "control_server.h"
#include "pty_link.h"

namespace orvisim {

// Runs until stopFd (the read end of a pipe) becomes readable. control may be null.
void RunSimLoop(PtyLink& link, Bus& bus, ControlServer* control, ControlCommands& commands, int stopFd);

}  // namespace orvisim
