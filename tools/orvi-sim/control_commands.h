// The control channel's text commands, each line answered by one "OK ..." or "ERR reason" line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bus.h"

namespace orvisim {

class ControlCommands {
public:
    // lineSpeed: the host's current speed on the line (0 if unknown); clock: milliseconds, monotonic.
    ControlCommands(Bus& bus, std::function<int()> lineSpeed, std::function<std::uint64_t()> clock);

    // Runs one command line (without its newline) and returns the reply line (without newline).
    std::string Execute(const std::string& line);

private:
    std::string LineCommand(const std::string& command);
    std::string MembershipCommand(const std::vector<std::string>& words, int address);
    std::string TransmitterCommand(Transmitter& t, const std::vector<std::string>& words);
    std::string TwinCommand(const std::vector<std::string>& words, int address);
    std::string IdentCommand(Transmitter& t, const std::vector<std::string>& words);
    std::string DelayCommand(Transmitter& t, const std::vector<std::string>& words);
    // line_commands.cpp: the wire's faults.
    std::string LineFaultCommand(const std::vector<std::string>& words);
    std::string RtsLateCommand(Transmitter& t, const std::vector<std::string>& words);
    std::string ParityCommand(Transmitter& t, const std::vector<std::string>& words);

    Bus& bus_;
    std::function<int()> lineSpeed_;
    std::function<std::uint64_t()> clock_;
};

// Text of the commands for --help and the "help" command.
const char* ControlCommandSummary();

}  // namespace orvisim
