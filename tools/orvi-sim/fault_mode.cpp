// Names of the fault modes and their count-down.
#include "fault_mode.h"

namespace orvisim {

namespace {
struct NamedMode {
    const char* name;
    FaultMode mode;
};
const NamedMode kModes[] = {
    {"none", FaultMode::None},           {"silent", FaultMode::Silent},       {"badcrc", FaultMode::BadCrc},
    {"wrongaddr", FaultMode::WrongAddr}, {"exception", FaultMode::Exception}, {"echo", FaultMode::Echo},
    {"stray", FaultMode::Stray},         {"short", FaultMode::Short},         {"late", FaultMode::Late},
    {"mismatch", FaultMode::Mismatch},   {"badecho", FaultMode::BadEcho},
};
}  // namespace

bool ParseFaultMode(const std::string& name, FaultMode* mode) {
    for (const NamedMode& entry : kModes) {
        if (name == entry.name) {
            *mode = entry.mode;
            return true;
        }
    }
    return false;
}

const char* FaultModeName(FaultMode mode) {
    for (const NamedMode& entry : kModes) {
        if (entry.mode == mode) return entry.name;
    }
    return "?";
}

void ArmedFault::Consume() {
    if (remaining > 0 && --remaining == 0) mode = FaultMode::None;
}

}  // namespace orvisim
