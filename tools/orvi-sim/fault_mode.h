// Faults that a simulated transmitter can be told to commit, and how many replies they last.
#pragma once

#include <string>

namespace orvisim {

enum class FaultMode {
    None,
    Silent,     // the request is lost: nothing is done, nothing answered
    BadCrc,     // the reply's last CRC byte is flipped
    WrongAddr,  // the reply carries address + 1 (with a valid CRC)
    Exception,  // an exception reply, code 4, instead of the work
    Echo,       // the request bytes come back ahead of the reply
    Stray,      // three stray bytes ahead of the reply
    Short,      // the reply loses its last two bytes
    Late,       // the reply comes 2500 ms late
    Mismatch,   // a register write is stored, but reads of it return value + 1 until the next write
    BadEcho     // a write is not stored and its echo carries value + 1
};

bool ParseFaultMode(const std::string& name, FaultMode* mode);
const char* FaultModeName(FaultMode mode);

// A fault armed on one transmitter; remaining < 0 means until cleared.
struct ArmedFault {
    FaultMode mode = FaultMode::None;
    int remaining = -1;

    bool Active() const { return mode != FaultMode::None && remaining != 0; }
    // One affected reply has used the fault up by one.
    void Consume();
};

}  // namespace orvisim
