// Paths of the programs under test, from the environment that tests/e2e/run sets.
#include "driver_paths.h"

#include <cstdlib>

namespace {
std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

std::string DistFolder() { return FromEnvironment("ORVI_E2E_DIST"); }
std::string ScratchFolder() { return FromEnvironment("ORVI_E2E_SCRATCH"); }
std::string OrviProgram() { return DistFolder() + "\\Orvi.exe"; }
std::string LauncherProgram() { return DistFolder() + "\\Configurador.exe"; }

std::string CommandLine(const std::string& program, const std::string& tail) {
    std::string line = "\"" + program + "\"";
    return tail.empty() ? line : line + " " + tail;
}
